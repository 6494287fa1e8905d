// What the deck file asks of the feeder that owns it: named options, the analysis kind and
// the analysis queries that choose the solver module, and a way to tell the host about
// findings in the solver listings. `DorvixFeeder` implements it; tests use small doubles.
#pragma once

#include <string>

class DeckFileOwner {
  public:
    virtual ~DeckFileOwner() = default;

    // True when the host defines the named option; its text is then in `text`.
    virtual bool ReadNamedOption(const std::string& name, std::string& text) = 0;
    // HostAnalysisKind.
    virtual int GetAnalysisKind() const = 0;
    // 1 selects the non-linear structural module.
    virtual int GetNonLinearFlag() const = 0;
    virtual bool IsPrestressedStatic() = 0;
    virtual bool IsBucklingAnalysis() = 0;
    virtual int GetNumberOfSteps() const = 0;
    virtual bool IsPrestressedModalIntent() const = 0;
    virtual void PostHostMessage(const std::wstring& text, const std::wstring& type) = 0;
};
