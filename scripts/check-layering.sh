#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own, or when add-in code includes an
# operating-system service header that only platform/ may use. Prints file:line and the rule
# broken for each offence. Usage: scripts/check-layering.sh [source-root] (default: this tree).
#
# Layers, lowest first; each may include itself and the layers before it:
#   platform, foundation, caerep, settings, host, runtime, deck (with its subfolders), addin.
# hostsim implements host/ from case files, so it sees host/ and what host/ may see, never the
# add-in that it serves. tools/ may use every layer and hostsim; tests/, bench/ and fuzz/ may
# include anything, and nothing includes them.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

folders=(platform foundation caerep settings host runtime deck addin hostsim tools tests bench fuzz)
existing=()
for f in "${folders[@]}"; do [ -d "$f" ] && existing+=("$f"); done
[ ${#existing[@]} -gt 0 ] || { echo "check-layering: no source folder under $PWD" >&2; exit 2; }

find "${existing[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.inc' \) | sort |
  awk '
function layer_of(path,    top) {
    top = path
    sub(/\/.*/, "", top)
    if (top == path) return ""
    if (top in known) return top
    return ""
}
# Folds "a/./b/../c" into "a/c"; a path that climbs out of the tree becomes "".
function normalize(path,    n, parts, out, m, i) {
    n = split(path, parts, "/")
    m = 0
    for (i = 1; i <= n; i++) {
        if (parts[i] == "" || parts[i] == ".") continue
        if (parts[i] == "..") {
            if (m == 0) return ""
            m--
            continue
        }
        out[++m] = parts[i]
    }
    path = ""
    for (i = 1; i <= m; i++) path = path (i > 1 ? "/" : "") out[i]
    return path
}
function exists(path,    line, status) {
    status = (getline line < path)
    if (status >= 0) close(path)
    return status >= 0
}
function report(file, line, message) {
    printf "%s:%d: %s\n", file, line, message
    failures++
}
BEGIN {
    split("platform foundation caerep settings host runtime deck addin", chain, " ")
    for (i = 1; i in chain; i++) {
        rank[chain[i]] = i
        known[chain[i]] = 1
        allowed_text[chain[i]] = (i > 1 ? allowed_text[chain[i - 1]] ", " : "") chain[i]
    }
    known["hostsim"] = known["tools"] = known["tests"] = known["bench"] = known["fuzz"] = 1
    allowed_text["hostsim"] = allowed_text["host"] ", hostsim"
    allowed_text["tools"] = allowed_text["addin"] ", hostsim, tools"
    # Operating-system services reach the add-in through platform/ only.
    system_header = "^(unistd|fcntl|dirent|dlfcn|spawn|signal|csignal|pthread|locale|clocale|pwd|poll|termios|glob|wordexp)\\.h$|^(csignal|clocale)$|^sys/"
}
function may_include(from, to) {
    if (from == to) return 1
    if (from == "tests" || from == "bench" || from == "fuzz") return 1
    if (to == "tests" || to == "bench" || to == "fuzz") return 0
    if (from == "tools") return to != ""
    if (from == "hostsim") return to in rank && rank[to] <= rank["host"]
    if (to == "hostsim" || to == "tools") return 0
    return rank[to] <= rank[from]
}
{
    file = $0
    from = layer_of(file)
    dir = file
    sub(/\/[^\/]*$/, "", dir)
    checked++
    line_number = 0
    while ((getline text < file) > 0) {
        line_number++
        if (text !~ /^[ \t]*#[ \t]*include[ \t]*[<"]/) continue
        quoted = text ~ /^[ \t]*#[ \t]*include[ \t]*"/
        name = text
        sub(/^[ \t]*#[ \t]*include[ \t]*[<"]/, "", name)
        sub(/[>"].*$/, "", name)
        if (!quoted && name ~ system_header && from in rank && from != "platform") {
            report(file, line_number, "includes <" name ">: only platform/ calls the operating system; " \
                   from " goes through platform/")
            continue
        }
        # A quoted name is looked up next to the file first, then from the tree root.
        target = ""
        if (quoted) {
            target = normalize(dir "/" name)
            if (target != "" && !exists(target)) target = ""
        }
        if (target == "") target = normalize(name)
        to = layer_of(target)
        if (to == "" || may_include(from, to)) continue
        if (to == "tests" || to == "bench" || to == "fuzz")
            report(file, line_number, "includes \"" name "\" from " to "/, which no layer may include")
        else
            report(file, line_number, "includes \"" name "\" from " to "/: " from " may include only " \
                   allowed_text[from])
    }
    close(file)
}
END {
    if (failures) {
        printf "check-layering: %d include(s) against the layer order (see docs/architecture.md)\n", failures
        exit 1
    }
    printf "check-layering: %d files, every include within the layer order\n", checked
}'
