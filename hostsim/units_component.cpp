// The file-backed host's units service: current system, host-to-solver system ids and per-system converters.
#include "foundation/unit_systems.h"
#include "hostsim/components.h"
#include "platform/com_object.h"
#include "platform/text.h"

namespace {

class HostSimConverter : public ComObject<HostSimConverter, IHostUnitConverter> {
  public:
    explicit HostSimConverter(int solverSystem) : system_(solverSystem) {}

    [[nodiscard]] HRESULT GetUnitLabel(int quantity, std::wstring& label) override {
        const char* text = GetUnitSystemTable().GetUnitLabel(system_, quantity);
        label = text ? platform::Utf8ToWide(text) : std::wstring();
        return text ? S_OK : S_FALSE;
    }
    [[nodiscard]] HRESULT ConvertToSystem(double value, int quantity, int otherSystem, double& out) override {
        out = value;
        return GetUnitSystemTable().TryConvert(otherSystem, system_, quantity, out) ? S_OK : E_INVALIDARG;
    }
    [[nodiscard]] HRESULT ConvertFromSystem(double value, int quantity, int otherSystem,
                                            double& out) override {
        out = value;
        return GetUnitSystemTable().TryConvert(system_, otherSystem, quantity, out) ? S_OK : E_INVALIDARG;
    }

  private:
    int system_;
};

class HostSimUnitSystems : public ComObject<HostSimUnitSystems, IHostUnitSystems> {
  public:
    explicit HostSimUnitSystems(HostSimUnits units) : units_(std::move(units)) {}

    [[nodiscard]] HRESULT GetCount(int& count) override {
        count = static_cast<int>(units_.solverSystems.size());
        return S_OK;
    }
    // Items are numbered from 1: item n is the host system n - 1.
    [[nodiscard]] HRESULT Item(const VARIANT& index, IHostUnitConverter** converter) override {
        if (!converter) return E_POINTER;
        *converter = nullptr;
        if (index.vt != VT_I4) return DISP_E_TYPEMISMATCH;
        auto it = units_.solverSystems.find(index.lVal - 1);
        if (it == units_.solverSystems.end()) return E_INVALIDARG;
        const int system = it->second;
        return CreateComInstanceWith<HostSimConverter>(nullptr, IHostUnitConverter::iid(),
                                                       reinterpret_cast<void**>(converter),
                                                       [system] { return new HostSimConverter(system); });
    }

  private:
    HostSimUnits units_;
};

class HostSimUnitsService : public ComObject<HostSimUnitsService, IHostUnitsService> {
  public:
    explicit HostSimUnitsService(HostSimUnits units) : units_(std::move(units)) {}

    [[nodiscard]] HRESULT GetCurrentUnitSystem(int& id) override {
        id = units_.currentSystem;
        return S_OK;
    }
    [[nodiscard]] HRESULT TranslateUnitSystem(int hostId, int& solverSystem) override {
        auto it = units_.solverSystems.find(hostId);
        if (it == units_.solverSystems.end()) {
            solverSystem = -1;
            return S_FALSE;
        }
        solverSystem = it->second;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetAnglesInDegrees(VARIANT_BOOL& degrees) override {
        degrees = units_.anglesInDegrees ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetRotationalVelocityInRpm(VARIANT_BOOL& rpm) override {
        rpm = units_.rotationalVelocityInRpm ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    [[nodiscard]] HRESULT GetUnitSystems(IHostUnitSystems** systems) override {
        if (!systems) return E_POINTER;
        return CreateComInstanceWith<HostSimUnitSystems>(nullptr, IHostUnitSystems::iid(),
                                                         reinterpret_cast<void**>(systems),
                                                         [this] { return new HostSimUnitSystems(units_); });
    }

  private:
    HostSimUnits units_;
};

}  // namespace

ComPtr<IHostUnitsService> CreateHostSimUnitsService(const HostSimUnits& units) {
    ComPtr<IHostUnitsService> service;
    (void)CreateComInstanceWith<HostSimUnitsService>(nullptr, IHostUnitsService::iid(),
                                                     service.ReleaseAndGetVoidAddress(),
                                                     [&] { return new HostSimUnitsService(units); });
    return service;
}
