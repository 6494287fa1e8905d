// Output requests limited to the supported codes, and the result-set time points read by index or copied out.
#include "settings/output_controls.h"

#include <iterator>

#include "foundation/jx_list.h"

DorvixOutputControls::DorvixOutputControls(std::set<int> supported, std::set<int> requested)
    : supported_(std::move(supported)), requested_(std::move(requested)) {}

bool DorvixOutputControls::IsOutputRequested(int code) const {
    return IsOutputSupported(code) && requested_.count(code) != 0;
}

void DorvixOutputControls::SetOutputRequested(int code, bool on) {
    if (!IsOutputSupported(code)) return;
    if (on)
        requested_.insert(code);
    else
        requested_.erase(code);
}

HRESULT DorvixOutputControls::GetResultSetValue(int i, double& value) const {
    if (i < 0 || static_cast<std::size_t>(i) >= resultSets_.size()) return E_FAIL;
    value = *std::next(resultSets_.begin(), i);
    return S_OK;
}

void DorvixOutputControls::CopyResultSetsTo(JXList<double>& list) const {
    for (double v : resultSets_) list.Add(v);
}
