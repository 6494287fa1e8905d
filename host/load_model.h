// The host's load model: a load of the host's object table and what the load writers ask of it.
// A load has one id, shared by its CAE object and its object-table record; the record hands the
// load out (HostObjectRecord::hostLoad). A load holds variables (the magnitude, the components,
// the rotations, the spatial factor); a variable has a definition (defined or free, and the
// quantity it is a function of) and a first entry that evaluates it.
//
// Every value is asked in a solver unit system (foundation/unit_systems.h) and answered in it;
// the abscissa handed in (a time, or a position along an axis) is taken in that system too.
// A unit system or a quantity the host cannot convert is refused with E_INVALIDARG, never
// answered with an unconverted number.
#pragma once

#include <string>
#include <vector>

#include "platform/com.h"

inline constexpr IID IID_IHostLoad = MakeGuid("4f0a7c52-93d1-4e6b-b0a4-1c7e2d95f310");
inline constexpr IID IID_IHostLoadVariable = MakeGuid("b7d34e19-6a2c-4f85-9e0b-52c1a8f4d627");
inline constexpr IID IID_IHostLoadEntry = MakeGuid("e2a95b06-1f47-4c3d-8a6e-97b0d3c2f418");

// Variable indices of a load.
inline constexpr int kLoadVariableMagnitude = 1;
inline constexpr int kLoadVariableComponentX = 2;  // 2, 3, 4: x, y, z
inline constexpr int kLoadVariableRotationX = 5;   // 5, 6, 7: about x, y, z
inline constexpr int kLoadVariableSpatial = 10;    // time factor of a load that varies in space

// Load properties.
inline constexpr int kLoadPropertyDirectionX = 715;  // 715, 716, 717: direction x, y, z

enum HostLoadDefinitionKind : int {
    kLoadDefinitionNone = 0,
    kLoadDefinitionDefined = 1,
    kLoadDefinitionFree = 3,  // the component is not imposed
};

// The quantity a variable is a function of.
enum HostLoadIndependent : int {
    kLoadIndependentNone = 0,  // a free variable
    kLoadIndependentTime = 11,
    kLoadIndependentX = 12,
    kLoadIndependentY = 13,
    kLoadIndependentZ = 14,
};

enum HostLoadEntryKind : int {
    kLoadEntryTable = 1,       // rows of (abscissa, value), linear between rows
    kLoadEntryExpression = 2,  // a formula of the independent quantity
};

// Quantity codes a value is asked for.
enum HostLoadQuantity : int {
    kLoadQuantityComponent = 2,  // the variable's own quantity (a translation or force component)
    kLoadQuantityRotation = 3,   // the variable's own quantity (a rotation or moment component)
    kLoadQuantityTimeFactor = 154,
    kLoadQuantityAcceleration = 201,
    kLoadQuantityDisplacement = 202,
    kLoadQuantityForce = 203,
    kLoadQuantityMoment = 204,
    kLoadQuantityPressure = 205,
    kLoadQuantityRotationalVelocity = 207,
    kLoadQuantityForcePerLength = 209,
    kLoadQuantityTemperature = 301,
};

struct HostLoadDefinition {
    int kind = kLoadDefinitionNone;                  // HostLoadDefinitionKind
    int independentQuantity = kLoadIndependentNone;  // HostLoadIndependent
};

// The first entry of a variable's definition.
struct IHostLoadEntry : IUnknown {
    static constexpr const IID& iid() { return IID_IHostLoadEntry; }

    // HostLoadEntryKind.
    [[nodiscard]] virtual HRESULT GetKind(int& kind) = 0;
    // The quantity code the entry's values carry.
    [[nodiscard]] virtual HRESULT GetQuantity(int& quantity) = 0;
    // The value at an abscissa of the independent quantity, both in the unit system.
    [[nodiscard]] virtual HRESULT Evaluate(double at, int unitSystem, double& value) = 0;

  protected:
    ~IHostLoadEntry() = default;
};

struct IHostLoadVariable : IUnknown {
    static constexpr const IID& iid() { return IID_IHostLoadVariable; }

    [[nodiscard]] virtual HRESULT GetIndex(int& index) = 0;
    [[nodiscard]] virtual HRESULT GetIdAndFlag(int& id, int& flag) = 0;
    // Empty when the host gives the variable no name.
    [[nodiscard]] virtual HRESULT GetName(std::wstring& name) = 0;
    // E_INVALIDARG for a step outside 1 .. the number of load steps.
    [[nodiscard]] virtual HRESULT IsActiveInStep(int step, bool& active) = 0;
    [[nodiscard]] virtual HRESULT GetDefinition(HostLoadDefinition& definition) = 0;
    // S_FALSE and null for a free variable.
    [[nodiscard]] virtual HRESULT GetFirstEntry(IHostLoadEntry** entry) = 0;
    // Rows of the table; 0 for an expression or a free variable.
    [[nodiscard]] virtual HRESULT GetRowCount(int& rows) = 0;
    // The abscissa of row 1 .. rows (a time, or a position along the axis) in the unit system.
    [[nodiscard]] virtual HRESULT GetRowTime(int row, int unitSystem, double& time) = 0;
    // The value at an abscissa for a quantity code: the entry's own code, or 2 and 3 (the
    // variable's own quantity). Another code: E_INVALIDARG. A free variable: E_FAIL.
    [[nodiscard]] virtual HRESULT GetValueAt(double at, int quantity, int unitSystem, double& value) = 0;
    // The values at every position along the variable's axis (independent quantity 12 to 14)
    // in one call, positions and values in the unit system. E_INVALIDARG for a variable of
    // time; values stays empty on any failure.
    [[nodiscard]] virtual HRESULT EvaluateAtPositions(const std::vector<double>& positions, int quantity,
                                                      int unitSystem, std::vector<double>& values) = 0;

  protected:
    ~IHostLoadVariable() = default;
};

struct IHostLoad : IUnknown {
    static constexpr const IID& iid() { return IID_IHostLoad; }

    // The id of the load's CAE object and object-table record.
    [[nodiscard]] virtual HRESULT GetId(int& id) = 0;
    // The host load type code (1 pressure, 4 force, 22 heat flux, ...).
    [[nodiscard]] virtual HRESULT GetLoadType(int& type) = 0;
    // E_INVALIDARG for a step outside 1 .. the number of load steps.
    [[nodiscard]] virtual HRESULT IsActiveInStep(int step, bool& active) = 0;
    // S_FALSE and null when the load has no variable of the index.
    [[nodiscard]] virtual HRESULT GetVariable(int index, IHostLoadVariable** variable) = 0;
    // S_FALSE and null when the load has no variable of the id and flag.
    [[nodiscard]] virtual HRESULT GetVariableById(int id, int flag, IHostLoadVariable** variable) = 0;
    // A load property (715 to 717) in the unit system; E_INVALIDARG when the load has none.
    [[nodiscard]] virtual HRESULT GetProperty(int property, int unitSystem, double& value) = 0;
    // Points per analysis at which an expression is sampled; 0 when the host sets none.
    [[nodiscard]] virtual HRESULT GetSamplingCount(int& count) = 0;
    // The coordinate system the load's axes belong to; 0 for the global one.
    [[nodiscard]] virtual HRESULT GetCoordinateSystemId(int& id) = 0;

  protected:
    ~IHostLoad() = default;
};
