// XML blocks of the analysis settings: one writer and one reader per record.
//
// Writers append their block as the last child of the given parent and answer S_OK. Readers
// take the element that holds the block (the root element, or the "StepControls" element for
// the parts of a step) and answer S_OK, or E_FAIL when the block is missing, incomplete or
// holds a value that is not of its kind; on E_FAIL the record is left exactly as it was and the
// open read log (settings/xml_read_log.h) says why. Child elements a reader does not know are
// passed over: documents written by other versions of the system may hold them.
#pragma once

#include <set>
#include <string_view>

#include "foundation/xml.h"
#include "platform/com.h"

class DorvixOutputControls;
class DorvixTimeStepOptions;
class DorvixStepControls;
class DorvixStepControlsList;
class DorvixSolverControls;
class DorvixDampingControls;
class DorvixSolverFileControls;
class DorvixHarmonicControls;
class DorvixModalControls;

[[nodiscard]] HRESULT WriteOutputControlsXml(const DorvixOutputControls& record, XmlNode parent);
[[nodiscard]] HRESULT ReadOutputControlsXml(DorvixOutputControls& record, XmlNode context);

[[nodiscard]] HRESULT WriteTimeStepOptionsXml(const DorvixTimeStepOptions& record, XmlNode stepElement);
[[nodiscard]] HRESULT ReadTimeStepOptionsXml(DorvixTimeStepOptions& record, XmlNode stepElement);

[[nodiscard]] HRESULT WriteStepControlsXml(const DorvixStepControls& record, XmlNode root);
// Reads a step from its own "StepControls" element. The step's span is first set from its
// end time and the step before it in its list, so that sub-step counts turn into the time
// steps they were written from. A time-step options or results block, or a flag, that cannot
// be read keeps what the step has and does not fail the step; only an end time that is
// missing or no number does.
[[nodiscard]] HRESULT ReadStepControlsXml(DorvixStepControls& record, XmlNode stepElement);

[[nodiscard]] HRESULT WriteStepListXml(const DorvixStepControlsList& record, XmlNode root);
// A root without "StepControls" leaves the list as it is; otherwise the steps read replace the
// list's steps. The end times must increase from a positive first one.
[[nodiscard]] HRESULT ReadStepListXml(DorvixStepControlsList& record, XmlNode root);

[[nodiscard]] HRESULT WriteSolverControlsXml(const DorvixSolverControls& record, XmlNode root);
[[nodiscard]] HRESULT ReadSolverControlsXml(DorvixSolverControls& record, XmlNode root);

[[nodiscard]] HRESULT WriteDampingControlsXml(const DorvixDampingControls& record, XmlNode root);
[[nodiscard]] HRESULT ReadDampingControlsXml(DorvixDampingControls& record, XmlNode root);

[[nodiscard]] HRESULT WriteSolverFileControlsXml(const DorvixSolverFileControls& record, XmlNode root);
[[nodiscard]] HRESULT ReadSolverFileControlsXml(DorvixSolverFileControls& record, XmlNode root);

[[nodiscard]] HRESULT WriteHarmonicControlsXml(const DorvixHarmonicControls& record, XmlNode root);
[[nodiscard]] HRESULT ReadHarmonicControlsXml(DorvixHarmonicControls& record, XmlNode root);

// The reference temperature is written and read as the record holds it.
[[nodiscard]] HRESULT WriteModalControlsXml(const DorvixModalControls& record, XmlNode root);
[[nodiscard]] HRESULT ReadModalControlsXml(DorvixModalControls& record, XmlNode root);

// Splits a list of numbers at commas, blanks, line feeds and tabs into an ordered set. A run of
// separators counts as one and separators at either end are ignored; a piece counts as far as
// it begins with a number, and one that begins with none (or reads as infinite or undefined)
// adds 0.
[[nodiscard]] HRESULT ParseNumberList(std::wstring_view text, std::set<double>& values);
