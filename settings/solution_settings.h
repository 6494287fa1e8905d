// Base of the per-analysis settings classes: the physics and analysis type, the virtual
// operations every class provides, and typed access to the records a class holds.
#pragma once

#include <functional>
#include <string>

#include "foundation/jx_stream.h"
#include "foundation/xml.h"
#include "platform/com.h"
#include "settings/settings_record.h"
#include "settings/settings_types.h"

class DorvixStepControls;

class DorvixSolutionSettings : public DorvixSettingsRecord {
  public:
    ~DorvixSolutionSettings() override = default;
    DorvixSolutionSettings(const DorvixSolutionSettings&) = delete;
    // Assignment copies through CopyFrom (and so only between objects of one class).
    DorvixSolutionSettings& operator=(const DorvixSolutionSettings& other);

    // Appends the class's root element as the last child of `element`; E_FAIL when it cannot
    // be appended (`element` is null, say).
    [[nodiscard]] virtual HRESULT WriteXML(XmlNode element) const = 0;
    // Reads the class's root element among the children of `element`. S_OK, or E_FAIL with
    // the object left exactly as it was.
    [[nodiscard]] virtual HRESULT ReadXML(XmlNode element) = 0;
    // Why the last ReadXML could not read its document in full: the path of each element that
    // could not be read below the root and the reason (for example "StepControls[2]/EndTime:
    // not a number"), also for the problems the read passed over. Empty after a clean read.
    const std::wstring& GetReadProblem() const { return readProblem_; }
    // Writes the tagged binary records.
    [[nodiscard]] virtual HRESULT SaveDB(JXStream& stream) const = 0;
    // Reads the tagged binary records. E_FAIL, with the object left as it was, when the stream
    // is short, corrupt, of another class or holds a value the object cannot take. A record
    // saved by another version ends the read with S_OK: the records before it are read, that
    // one and those after it (which can no longer be found) keep their values.
    [[nodiscard]] virtual HRESULT ResumeDB(JXStream& stream) = 0;

    // A record of one load step by selector (0 time-step options, 2 output controls, 4 the
    // step itself), or null. Classes without steps answer GetControls(selector).
    virtual DorvixSettingsRecord* GetStepControls(int step, int selector) = 0;
    // The record with the given tag, the object itself for its class tag, or null.
    virtual DorvixSettingsRecord* GetControls(int tag) = 0;
    virtual int GetNumberOfSteps() const { return 1; }
    // Gives a step the values of the class's template; 0.
    [[nodiscard]] virtual int ApplyTemplateToStep(DorvixStepControls* step, int flag) = 0;
    // Copies the values of an object of the same class; false (nothing copied) otherwise.
    virtual bool CopyFrom(const DorvixSolutionSettings& other) = 0;
    // Same class and equal values, doubles compared exactly. Templates do not take part.
    virtual bool IsEqual(const DorvixSolutionSettings& other) const = 0;

    const DorvixSettingsRecord* GetControls(int tag) const {
        return const_cast<DorvixSolutionSettings*>(this)->GetControls(tag);
    }
    const DorvixSettingsRecord* GetStepControls(int step, int selector) const {
        return const_cast<DorvixSolutionSettings*>(this)->GetStepControls(step, selector);
    }
    // Typed access: null when the tag names no record or a record of another type.
    template <class R>
    R* GetControlsAs(int tag) {
        return RecordAs<R>(GetControls(tag));
    }
    template <class R>
    const R* GetControlsAs(int tag) const {
        return RecordAs<R>(GetControls(tag));
    }
    template <class R>
    R* GetStepControlsAs(int step, int selector) {
        return RecordAs<R>(GetStepControls(step, selector));
    }
    template <class R>
    const R* GetStepControlsAs(int step, int selector) const {
        return RecordAs<R>(GetStepControls(step, selector));
    }

    int GetAnalysisType() const { return analysisType_; }
    int GetPhysicsType() const { return physicsType_; }
    int SetAnalysisType(int type) { return analysisType_ = type; }
    int SetPhysicsType(int type) { return physicsType_ = type; }
    // Both types equal; false for null.
    bool IsSameType(const DorvixSolutionSettings* other) const;

    friend bool operator==(const DorvixSolutionSettings& a, const DorvixSolutionSettings& b) {
        return a.IsEqual(b);
    }

  protected:
    DorvixSolutionSettings(int physicsType, int analysisType)
        : physicsType_(physicsType), analysisType_(analysisType) {}

    // Same real class and same types: the condition for copying and comparing.
    bool IsSameClass(const DorvixSolutionSettings& other) const;

    // Base record: version, physics type, analysis type.
    void SaveBaseRecord(JXStream& stream) const;
    // Reads the base record and the section count; false when the stream is short, the
    // version unknown or the stored types are not this object's. Nothing is changed.
    bool ResumeBaseRecord(JXStream& stream, std::uint32_t& sectionCount) const;

    // Appends the root element with its "version"; null when it cannot be created.
    XmlNode AppendRootElement(XmlNode element, const wchar_t* rootName) const;
    // The frame of every ReadXML: finds the root element named rootName among the children of
    // `element` (E_FAIL without one) and runs `read` on it with a read log open, whose text
    // becomes the read problem. S_OK or E_FAIL.
    [[nodiscard]] HRESULT ReadRootElement(XmlNode element, const wchar_t* rootName,
                                          const std::function<HRESULT(XmlNode)>& read);

  private:
    int physicsType_;
    int analysisType_;
    std::wstring readProblem_;
};
