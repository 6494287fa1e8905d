#include <charconv>
#include <initializer_list>

#include "deck/deck_file.h"
#include "foundation/number_format.h"
#include "foundation/text.h"

namespace {

void AppendInteger(std::string& line, long long value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, result.ptr);
}

// "    I <id> N" followed by the values, each after a blank; mid-side nodes arrive negated
// and face groups are separated by 0.
void BuildElementLine(std::string& line, int id, std::initializer_list<long long> values) {
    line.assign("    I ");
    AppendInteger(line, id);
    line.append(" N");
    for (long long v : values) {
        line.push_back(' ');
        AppendInteger(line, v);
    }
}

long long Mid(const int* p, int i) { return -static_cast<long long>(p[i]); }

}  // namespace

void DorvixDeckFile::WriteNode(int id, double x, double y, double z) {
    if (!out_.IsOpen()) return;
    AppendNodeLine(out_.Buffer(), id, x, y, z);
    out_.FlushIfFull();
}

void DorvixDeckFile::WriteTetra(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen()) return;
    if (nodeCount == 4)
        BuildElementLine(lineScratch_, id, {p[0], p[1], p[2], 0, p[3]});
    else
        BuildElementLine(lineScratch_, id,
                         {p[0], Mid(p, 4), p[1], Mid(p, 5), p[2], Mid(p, 6), 0, p[3], 0, Mid(p, 7), 0,
                          Mid(p, 8), 0, Mid(p, 9)});
    WriteLine(lineScratch_);
}

void DorvixDeckFile::WriteHexa(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen()) return;
    if (nodeCount == 8)
        BuildElementLine(lineScratch_, id, {p[0], p[1], p[2], p[3], 0, p[4], p[5], p[6], p[7]});
    else
        BuildElementLine(lineScratch_, id,
                         {p[0], Mid(p, 8),  p[1], Mid(p, 9),  p[2], Mid(p, 10), p[3], Mid(p, 11), 0,
                          p[4], Mid(p, 12), p[5], Mid(p, 13), p[6], Mid(p, 14), p[7], Mid(p, 15), 0,
                          Mid(p, 16), 0, Mid(p, 17), 0, Mid(p, 18), 0, Mid(p, 19)});
    WriteLine(lineScratch_);
}

void DorvixDeckFile::WriteWedge(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen()) return;
    if (nodeCount == 6)
        BuildElementLine(lineScratch_, id, {p[0], p[1], p[2], 0, p[3], p[4], p[5]});
    else
        BuildElementLine(lineScratch_, id,
                         {p[0], Mid(p, 6), p[1], Mid(p, 7), p[2], Mid(p, 8), 0, p[3], Mid(p, 9), p[4],
                          Mid(p, 10), p[5], Mid(p, 11), 0, Mid(p, 12), 0, Mid(p, 13), 0, Mid(p, 14)});
    WriteLine(lineScratch_);
}

// A pyramid goes to the solver as a hexahedron whose top face collapses onto the apex.
void DorvixDeckFile::WritePyramid(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen()) return;
    if (nodeCount == 5)
        BuildElementLine(lineScratch_, id, {p[0], p[1], p[2], p[3], 0, p[4], p[4], p[4], p[4]});
    else
        BuildElementLine(lineScratch_, id,
                         {p[0], Mid(p, 5), p[1], Mid(p, 6), p[2], Mid(p, 7), p[3], Mid(p, 8), 0, p[4],
                          Mid(p, 4), p[4], Mid(p, 4), p[4], Mid(p, 4), p[4], Mid(p, 4), 0, Mid(p, 9), 0,
                          Mid(p, 10), 0, Mid(p, 11), 0, Mid(p, 12)});
    WriteLine(lineScratch_);
}

void DorvixDeckFile::WriteElement(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen()) return;
    lineScratch_.assign("    I ");
    AppendInteger(lineScratch_, id);
    lineScratch_.append(" N");
    if (nodeCount > 4) {
        const int half = nodeCount / 2;
        for (int i = 0; i < half; ++i) {
            lineScratch_.push_back(' ');
            AppendInteger(lineScratch_, p[i]);
            lineScratch_.push_back(' ');
            AppendInteger(lineScratch_, Mid(p, half + i));
        }
    } else {
        for (int i = 0; i < nodeCount; ++i) {
            lineScratch_.push_back(' ');
            AppendInteger(lineScratch_, p[i]);
        }
    }
    WriteLine(lineScratch_);
}

int DorvixDeckFile::WriteSelectionGroup(const std::string& name, const std::set<int>& ids, bool nodeGroup,
                                        int groupNumber) {
    if (ids.empty()) return -1;
    char identifier[260];
    bool repair = false;
    if (!SanitizeDeckName(name, identifier, repair)) return -1;
    lineScratch_.assign(".SEL GROUP ");
    AppendInteger(lineScratch_, groupNumber);
    lineScratch_.append(nodeGroup ? " NOEUDS NOM \"" : " MAILLES NOM \"");
    lineScratch_.append(identifier);
    lineScratch_.push_back('"');
    WriteLine(lineScratch_);
    lineScratch_.assign(" I");
    for (int id : ids) {
        lineScratch_.push_back(' ');
        AppendInteger(lineScratch_, id);
    }
    WriteLongLine(lineScratch_);
    return 0;
}
