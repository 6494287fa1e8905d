// The writers of supports, cyclic symmetry, remote loads and scoping selections read the host
// and the wrappers only, not the model: a case folder's host, a feeder with its deck open and
// the wrappers set up from the data source, and the host objects reachable through the
// add-in services.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../deck_test_support.h"
#include "../feeder/feeder_test_support.h"
#include "hostsim/host_sim.h"
#include "tests/golden_file.h"

namespace writertest {

class WriterFeeder : public feedertest::FeederUnderTest {
  public:
    using FeederUnderTest::FeederUnderTest;
    bool HasPrestress() override { return prestress; }
    bool prestress = false;
};

class WriterTest : public ::testing::Test {
  protected:
    ~WriterTest() override;
    // Loads tests/data/cases/<name>, lets `change` alter the host's answers, and opens the
    // deck of a feeder of that analysis kind.
    void Load(const std::string& name, int kind = 1,
              const std::function<void(HostSimCase&)>& change = nullptr);
    // The lines written after the deck's header.
    std::vector<std::string> DeckLines() { return feeder_->CloseDeckLines(); }
    // Compares the lines written after the deck's header with a case folder's golden file.
    void ExpectGoldenDeckLines(const std::string& name, const std::string& file) {
        golden::ExpectLines(decktest::CaseFolder(name) / file, DeckLines());
    }

    decktest::ScratchFolder scratch_;
    std::shared_ptr<HostSimCase> case_;
    std::unique_ptr<HostSim> host_;
    std::unique_ptr<WriterFeeder> feeder_;
};

}  // namespace writertest
