// The host's progress sink for a running solve. The host answers each report with its
// cancel decision, so this is the only way a user can stop a long deck write or solver run.
#pragma once

struct IProgressCallback {
    // overall: 0 to 100 across the whole solve; percent: the reporter's own stage percentage;
    // messageId: what the host shows for the stage. Non-zero means go on, 0 means cancel.
    [[nodiscard]] virtual int OnProgress(int overall, int percent, int messageId) = 0;

  protected:
    ~IProgressCallback() = default;
};
