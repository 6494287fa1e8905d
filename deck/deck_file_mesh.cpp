// The deck's node and element records (pyramids as collapsed hexahedra, mid-side nodes negated), and groups.
#include <charconv>
#include <cstring>

#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/return_codes.h"
#include "foundation/number_format.h"
#include "foundation/text.h"

namespace {

constexpr std::size_t kMaxRecord = 80;
// " " and a sign and ten digits: the widest text of one (possibly negated) 32-bit node id.
constexpr std::size_t kMaxValueText = 12;
// "    I <id> N", newline included.
constexpr std::size_t kMaxElementHead = 6 + kMaxValueText + 2 + 1;

// Builds one element line directly at the end of the deck's output buffer: room for the
// longest possible line is claimed up front, the digits are written straight into it and
// the unused tail is given back at the end. Mid-side nodes are written negated, and 0
// separates the node groups (faces) of an element.
class ElementLine {
  public:
    ElementLine(std::string& buffer, int id, std::size_t valueCount)
        : buffer_(buffer), start_(buffer.size()) {
        buffer_.resize(start_ + kMaxElementHead + valueCount * kMaxValueText);
        p_ = buffer_.data() + start_;
        std::memcpy(p_, "    I ", 6);
        p_ = Digits(p_ + 6, id);
        std::memcpy(p_, " N", 2);
        p_ += 2;
    }

    ElementLine& Corner(int node) {
        *p_++ = ' ';
        p_ = Digits(p_, node);
        return *this;
    }
    ElementLine& Mid(int node) {
        *p_++ = ' ';
        p_ = Digits(p_, -static_cast<long long>(node));
        return *this;
    }
    ElementLine& Separator() {
        p_[0] = ' ';
        p_[1] = '0';
        p_ += 2;
        return *this;
    }
    // Gives back the unused room; the line then ends at the buffer's end, without newline.
    std::size_t Finish() {
        buffer_.resize(static_cast<std::size_t>(p_ - buffer_.data()));
        return buffer_.size() - start_;
    }

  private:
    static char* Digits(char* p, long long value) { return std::to_chars(p, p + kMaxValueText, value).ptr; }

    std::string& buffer_;
    std::size_t start_;
    char* p_;
};

// The shape writers take the node list of exactly the linear or the quadratic form; any
// other count would make them read entries the list does not hold.
bool IsShapeNodeCount(int nodeCount, int linear, int quadratic) {
    return nodeCount == linear || nodeCount == quadratic;
}

}  // namespace

void DorvixDeckFile::WriteNode(int id, double x, double y, double z) {
    if (!out_.IsOpen()) return;
    AppendNodeLine(out_.Buffer(), id, x, y, z);
    out_.FlushIfFull();
}

// An element line that fits one record gets its newline in place; the rare longer one is
// taken out of the buffer again and written through the line writer, which cuts it.
void DorvixDeckFile::FinishElementLine(std::size_t start) {
    std::string& buffer = out_.Buffer();
    if (buffer.size() - start <= kMaxRecord) {
        buffer.push_back('\n');
        out_.FlushIfFull();
        return;
    }
    lineScratch_.assign(buffer, start, std::string::npos);
    buffer.resize(start);
    WriteLine(lineScratch_);
}

void DorvixDeckFile::WriteTetra(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen() || !IsShapeNodeCount(nodeCount, 4, 10)) return;
    const std::size_t start = out_.Buffer().size();
    if (nodeCount == 4) {
        ElementLine(out_.Buffer(), id, 5)
            .Corner(p[0])
            .Corner(p[1])
            .Corner(p[2])
            .Separator()
            .Corner(p[3])
            .Finish();
    } else {
        ElementLine line(out_.Buffer(), id, 14);
        line.Corner(p[0]).Mid(p[4]).Corner(p[1]).Mid(p[5]).Corner(p[2]).Mid(p[6]).Separator().Corner(p[3]);
        line.Separator().Mid(p[7]).Separator().Mid(p[8]).Separator().Mid(p[9]).Finish();
    }
    FinishElementLine(start);
}

void DorvixDeckFile::WriteHexa(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen() || !IsShapeNodeCount(nodeCount, 8, 20)) return;
    const std::size_t start = out_.Buffer().size();
    if (nodeCount == 8) {
        ElementLine line(out_.Buffer(), id, 9);
        line.Corner(p[0]).Corner(p[1]).Corner(p[2]).Corner(p[3]).Separator();
        line.Corner(p[4]).Corner(p[5]).Corner(p[6]).Corner(p[7]).Finish();
    } else {
        ElementLine line(out_.Buffer(), id, 24);
        line.Corner(p[0]).Mid(p[8]).Corner(p[1]).Mid(p[9]).Corner(p[2]).Mid(p[10]).Corner(p[3]).Mid(p[11]);
        line.Separator().Corner(p[4]).Mid(p[12]).Corner(p[5]).Mid(p[13]).Corner(p[6]).Mid(p[14]);
        line.Corner(p[7]).Mid(p[15]).Separator().Mid(p[16]).Separator().Mid(p[17]).Separator().Mid(p[18]);
        line.Separator().Mid(p[19]).Finish();
    }
    FinishElementLine(start);
}

void DorvixDeckFile::WriteWedge(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen() || !IsShapeNodeCount(nodeCount, 6, 15)) return;
    const std::size_t start = out_.Buffer().size();
    if (nodeCount == 6) {
        ElementLine line(out_.Buffer(), id, 7);
        line.Corner(p[0])
            .Corner(p[1])
            .Corner(p[2])
            .Separator()
            .Corner(p[3])
            .Corner(p[4])
            .Corner(p[5])
            .Finish();
    } else {
        ElementLine line(out_.Buffer(), id, 19);
        line.Corner(p[0]).Mid(p[6]).Corner(p[1]).Mid(p[7]).Corner(p[2]).Mid(p[8]).Separator();
        line.Corner(p[3]).Mid(p[9]).Corner(p[4]).Mid(p[10]).Corner(p[5]).Mid(p[11]).Separator();
        line.Mid(p[12]).Separator().Mid(p[13]).Separator().Mid(p[14]).Finish();
    }
    FinishElementLine(start);
}

// A pyramid goes to the solver as a hexahedron whose top face collapses onto the apex.
void DorvixDeckFile::WritePyramid(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen() || !IsShapeNodeCount(nodeCount, 5, 13)) return;
    const std::size_t start = out_.Buffer().size();
    if (nodeCount == 5) {
        ElementLine line(out_.Buffer(), id, 9);
        line.Corner(p[0]).Corner(p[1]).Corner(p[2]).Corner(p[3]).Separator();
        line.Corner(p[4]).Corner(p[4]).Corner(p[4]).Corner(p[4]).Finish();
    } else {
        ElementLine line(out_.Buffer(), id, 24);
        line.Corner(p[0]).Mid(p[5]).Corner(p[1]).Mid(p[6]).Corner(p[2]).Mid(p[7]).Corner(p[3]).Mid(p[8]);
        line.Separator().Corner(p[4]).Mid(p[4]).Corner(p[4]).Mid(p[4]).Corner(p[4]).Mid(p[4]);
        line.Corner(p[4]).Mid(p[4]).Separator().Mid(p[9]).Separator().Mid(p[10]).Separator().Mid(p[11]);
        line.Separator().Mid(p[12]).Finish();
    }
    FinishElementLine(start);
}

void DorvixDeckFile::WriteElement(int id, int nodeCount, const int* p) {
    if (!out_.IsOpen()) return;
    const std::size_t start = out_.Buffer().size();
    const std::size_t values = nodeCount > 0 ? static_cast<std::size_t>(nodeCount) : 0;
    ElementLine line(out_.Buffer(), id, values);
    if (nodeCount > 4) {
        // Corner nodes fill the first half of the list, their mid-side nodes the second.
        const int half = nodeCount / 2;
        for (int i = 0; i < half; ++i) line.Corner(p[i]).Mid(p[half + i]);
    } else {
        for (int i = 0; i < nodeCount; ++i) line.Corner(p[i]);
    }
    line.Finish();
    FinishElementLine(start);
}

int DorvixDeckFile::WriteSelectionGroup(const std::string& name, const std::set<int>& ids, bool nodeGroup,
                                        int groupNumber) {
    if (ids.empty()) return kGroupNotWritten;
    char identifier[260];
    bool repair = false;
    if (!SanitizeDeckName(name, identifier, repair)) return kGroupNotWritten;
    try {
        lineScratch_.assign(".SEL GROUP ");
        AppendInt(lineScratch_, groupNumber);
        lineScratch_.append(nodeGroup ? " NOEUDS NOM \"" : " MAILLES NOM \"");
        lineScratch_.append(identifier);
        lineScratch_.push_back('"');
        WriteLine(lineScratch_);
        lineScratch_.assign(" I");
        for (int id : ids) {
            lineScratch_.push_back(' ');
            AppendInt(lineScratch_, id);
        }
        WriteLongLine(lineScratch_);
        RecordGroupName(identifier);
    } catch (...) {
        return kGroupNotWritten;
    }
    return kRC_Success;
}
