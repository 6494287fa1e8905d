// The final condition of one degree of freedom of a node, as the support, rotation and
// displacement writers read it after the constraint table has been finalised.
#pragma once

#include <cstdint>

// What holds a degree of freedom. The numbers are read by the writers and kept in saved tables.
enum DofKind : std::int32_t {
    kDofInactive = 0,                // the node has no such degree of freedom
    kDofFree = 1,                    // active and not held
    kDofFixed = 2,                   // fixed support
    kDofSimple = 3,                  // simple support (translations only)
    kDofLocked = 4,                  // locked (translations only; only saved tables carry it)
    kDofTranslationHeld = 5,         // translation held along a direction
    kDofRotationHeld = 6,            // rotation held about a direction
    kDofZeroDisplacement = 7,        // displacement component held at zero
    kDofZeroVelocity = 8,            // velocity component held at zero
    kDofPrescribedDisplacement = 9,  // prescribed displacement value
    kDofPrescribedVelocity = 10,     // prescribed velocity value
};

// Codes of the zero-motion questions of the support writer.
enum ZeroMotionCode : std::int32_t {
    kZeroDisplacementCode = 19,
    kZeroVelocityCode = 54,
};

struct DofCondition {
    std::int32_t kind = kDofFree;
    std::uint32_t conditionId = 0;  // the model object that set the kind
    double value = 0.0;             // kinds 9 and 10 only
    std::int32_t key = 0;           // component key of kinds 9 and 10 (groups nodes in the writers)
    std::uint8_t reversed = 0;      // 1: the held direction points against the node-frame axis

    DofCondition() = default;
    DofCondition(std::int32_t kindValue, std::uint32_t id, double valueOf = 0.0, std::int32_t keyOf = 0)
        : kind(kindValue), conditionId(id), value(valueOf), key(keyOf) {}

    bool IsActive() const { return kind != kDofInactive; }
    void Activate() {
        if (kind == kDofInactive) kind = kDofFree;
    }
    void Deactivate() {
        kind = kDofInactive;
        value = 0.0;
    }
    // Sets a kind without a value (2 to 8); nothing on an inactive degree of freedom.
    void SetKind(std::int32_t newKind, std::uint32_t id);
    // Takes another condition whole (with its value and key); nothing when inactive.
    void Take(const DofCondition& condition, bool isReversed);

    // Same kind and, for prescribed values, the same condition id, key and value.
    bool IsSameAs(const DofCondition& other) const;
    // Kind 7 for code 19, kind 8 for code 54; false for any other code.
    bool IsZeroMotion(std::int32_t code) const;
    bool IsPrescribedValue() const {
        return kind == kDofPrescribedDisplacement || kind == kDofPrescribedVelocity;
    }
};

// Values equal to within a relative 1e-10; anything of magnitude up to 1e-12 counts as zero.
bool AreValuesEqual(double first, double second);
