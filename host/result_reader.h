// The host's reader of a finished solve's results: the result sets of a result description
// (solved time or eigenvalue, set number and step code of each), and the node values of one
// set for the nodes a caller asks about. The add-in creates one reader by class id per job,
// names the description file and asks; the reader refuses a file that is missing its end, has
// a value it cannot read or a set count that does not match, and tells why. A description may
// be far larger than memory allows: the reader keeps what a question needs, not the file.
#pragma once

#include <string>
#include <vector>

#include "platform/com.h"

inline constexpr CLSID CLSID_HostResultReader = MakeGuid("D06BCD0F-1F43-431C-BB41-FFE06BBCC0BD");

// Which set, and which nodes of it.
struct HostNodeValueRequest {
    // By set number (0: the last set), or by solved time when byTime is set.
    int setNumber = 0;
    bool byTime = false;
    double time = 0.0;
    // Node ids of the host mesh.
    std::vector<int> nodes;
};

// The asked nodes the set holds a value for, in the set's order; values[i * componentCount + c]
// belongs to ids[i]. Nodes the set does not hold are left out.
struct HostNodeValues {
    int componentCount = 1;
    std::vector<int> ids;
    std::vector<double> values;
};

struct IHostResultReader : IUnknown {
    static constexpr IID kIid = MakeGuid("CAD2A2B4-B677-47A3-BE8C-92374123D88A");
    static constexpr const IID& iid() { return kIid; }

    // Names the description file; nothing is read yet. E_INVALIDARG for an empty path.
    [[nodiscard]] virtual HRESULT SetResultFile(const std::wstring& path) = 0;
    // Reads the file named last and appends one entry per set to each list. S_OK; S_FALSE
    // (nothing appended) when the file does not exist; E_FAIL (nothing appended, GetProblem
    // tells why) when it cannot be read or is refused.
    [[nodiscard]] virtual HRESULT GetResultSets(std::vector<double>& values, std::vector<int>& setNumbers,
                                                std::vector<int>& stepCodes) = 0;
    // Reads the file named last and keeps its sets for the two queries below; answers as
    // GetResultSets, S_FALSE for a missing file included (nothing is then open).
    [[nodiscard]] virtual HRESULT OpenDatabase() = 0;
    // Appends the value (time or eigenvalue) of each set of the open file. E_UNEXPECTED
    // when nothing is open.
    [[nodiscard]] virtual HRESULT GetSetValues(std::vector<double>& values) = 0;
    // The node values of one set of the open file, read from it now. E_UNEXPECTED when nothing
    // is open; E_INVALIDARG (GetProblem tells why) when the file has no such set; E_FAIL
    // (GetProblem tells why) when the set's values cannot be read or are refused.
    [[nodiscard]] virtual HRESULT GetNodeValues(const HostNodeValueRequest& request, HostNodeValues& out) = 0;
    // Why the last refused call failed; empty when the last call succeeded.
    [[nodiscard]] virtual HRESULT GetProblem(std::wstring& reason) = 0;

  protected:
    ~IHostResultReader() = default;
};
