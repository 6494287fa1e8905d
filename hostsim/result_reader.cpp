// The host's result reader over the stand-in solver's result descriptions.
#include "host/result_reader.h"

#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <vector>

#include "hostsim/components.h"
#include "hostsim/result_description.h"
#include "platform/com_object.h"
#include "platform/files.h"
#include "platform/path_text.h"

namespace {

// The set lines of the last large description the host read, with the stamp its file had then.
// A thermal run leaves a description holding every node's value of every set, and the add-in's
// end-time check and the host's own report ask for its sets one after the other: the second
// question is answered from what the first one read, unless the file was written since (its
// stamp differs). A small description is read at every question.
class LastLargeDescription {
  public:
    static constexpr long long kLargeBytes = 1 << 20;

    static LastLargeDescription& Instance() {
        static LastLargeDescription memory;
        return memory;
    }
    bool Recall(const platform::FileStamp& stamp, HostSimResultSets& sets) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!sets_ || !(stamp_ == stamp)) return false;
        sets = *sets_;
        return true;
    }
    void Keep(const platform::FileStamp& stamp, const HostSimResultSets& sets) {
        if (stamp.size < kLargeBytes) return;
        const std::lock_guard<std::mutex> lock(mutex_);
        stamp_ = stamp;
        sets_ = sets;
    }

  private:
    std::mutex mutex_;
    platform::FileStamp stamp_;
    std::optional<HostSimResultSets> sets_;
};

class HostSimResultReader : public ComObject<HostSimResultReader, IHostResultReader> {
  public:
    [[nodiscard]] HRESULT SetResultFile(const std::wstring& path) override {
        if (path.empty()) return E_INVALIDARG;
        path_ = platform::PathFromWide(path);
        return S_OK;
    }

    [[nodiscard]] HRESULT GetResultSets(std::vector<double>& values, std::vector<int>& setNumbers,
                                        std::vector<int>& stepCodes) override {
        HostSimResultSets description;
        const HRESULT hr = Read(description);
        if (hr != S_OK) return hr;
        for (const HostSimResultSet& set : description.sets) {
            values.push_back(set.value);
            setNumbers.push_back(set.number);
            stepCodes.push_back(set.stepCode);
        }
        return S_OK;
    }

    [[nodiscard]] HRESULT OpenDatabase() override {
        open_.reset();
        HostSimResultSets description;
        const HRESULT hr = Read(description);
        if (hr == S_OK) open_ = OpenFile{path_, std::move(description)};
        return hr;
    }

    [[nodiscard]] HRESULT GetSetValues(std::vector<double>& values) override {
        if (!open_) return Refuse(E_UNEXPECTED, L"No result description is open");
        for (const HostSimResultSet& set : open_->sets.sets) values.push_back(set.value);
        problem_.clear();
        return S_OK;
    }

    [[nodiscard]] HRESULT GetNodeValues(const HostNodeValueRequest& request, HostNodeValues& out) override {
        out = HostNodeValues{};
        if (!open_) return Refuse(E_UNEXPECTED, L"No result description is open");
        const HostSimResultSet* set = FindSet(request);
        if (!set) {
            return Refuse(E_INVALIDARG, request.byTime ? L"The result description holds no set at time " +
                                                             std::to_wstring(request.time)
                                                       : L"The result description holds no set " +
                                                             std::to_wstring(request.setNumber));
        }
        const std::unordered_set<int> asked(request.nodes.begin(), request.nodes.end());
        HostSimNodeValues values;
        if (!ReadResultSetNodes(open_->path, *set, asked, values, problem_)) return E_FAIL;
        out.ids = std::move(values.ids);
        out.values = std::move(values.values);
        problem_.clear();
        return S_OK;
    }

    [[nodiscard]] HRESULT GetProblem(std::wstring& reason) override {
        reason = problem_;
        return S_OK;
    }

  private:
    HRESULT Read(HostSimResultSets& description) {
        if (path_.empty()) return Refuse(E_UNEXPECTED, L"No result description file was named");
        platform::FileStamp before;
        const bool stamped = platform::ReadFileStamp(path_, before);
        if (stamped && LastLargeDescription::Instance().Recall(before, description)) {
            problem_.clear();
            return S_OK;
        }
        switch (ReadResultSets(path_, description, problem_)) {
            case ResultFileRead::kRead: {
                // Kept only when nothing wrote the file while it was read.
                platform::FileStamp after;
                if (stamped && platform::ReadFileStamp(path_, after) && after == before)
                    LastLargeDescription::Instance().Keep(before, description);
                return S_OK;
            }
            case ResultFileRead::kMissing:
                return S_FALSE;
            case ResultFileRead::kRefused:
                break;
        }
        return E_FAIL;
    }

    // A set by number (0: the last), or the set solved at the time (to a relative 1e-10).
    const HostSimResultSet* FindSet(const HostNodeValueRequest& request) const {
        const std::vector<HostSimResultSet>& sets = open_->sets.sets;
        if (sets.empty()) return nullptr;
        if (!request.byTime) {
            if (request.setNumber == 0) return &sets.back();
            for (const HostSimResultSet& set : sets)
                if (set.number == request.setNumber) return &set;
            return nullptr;
        }
        for (const HostSimResultSet& set : sets) {
            const double scale = std::max(1.0, std::fabs(request.time));
            if (std::fabs(set.value - request.time) <= 1e-10 * scale) return &set;
        }
        return nullptr;
    }

    HRESULT Refuse(HRESULT hr, const std::wstring& reason) {
        problem_ = reason;
        return hr;
    }

    std::filesystem::path path_;
    // The open file: its node values are read from it, whatever file is named after it.
    struct OpenFile {
        std::filesystem::path path;
        HostSimResultSets sets;  // its set lines
    };
    std::optional<OpenFile> open_;
    std::wstring problem_;
};

}  // namespace

ComPtr<IHostResultReader> CreateHostSimResultReader() {
    ComPtr<IHostResultReader> reader;
    if (FAILED(CreateComInstance<HostSimResultReader>(nullptr, IHostResultReader::iid(),
                                                      reader.ReleaseAndGetVoidAddress())))
        return nullptr;
    return reader;
}

HRESULT CreateResultReaderComponent(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstance<HostSimResultReader>(outer, iid, out);
}
