// The calls the file-backed host receives from the add-in that change its model (steps added
// and removed, step counts, times set, settings changes notified), in the order they came, so
// that tests and the command line can show what the add-in asked of its host.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class HostSimCallLog {
  public:
    void Record(std::string line);
    std::vector<std::string> Lines() const;
    void Clear();

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

// A number as the log shows it: the shortest text that reads back as the same double ("2",
// "0.5", "1e-07").
std::string FormatCallLogNumber(double value);
