// Identity of a representation object: its CAE type name, its name and its database id.
#pragma once

#include <string>
#include <utility>

namespace NCAERep {

class CIdentity {
  public:
    CIdentity() = default;
    CIdentity(std::wstring type, int id) : m_type(std::move(type)), m_id(id) {}
    CIdentity(std::wstring type, std::wstring name, int id)
        : m_type(std::move(type)), m_name(std::move(name)), m_id(id) {}

    const std::wstring& getType() const { return m_type; }
    const std::wstring& getName() const { return m_name; }
    int getId() const { return m_id; }
    void setType(std::wstring type) { m_type = std::move(type); }
    void setName(std::wstring name) { m_name = std::move(name); }
    void setId(int id) { m_id = id; }

    friend bool operator==(const CIdentity&, const CIdentity&) = default;

  private:
    std::wstring m_type;
    std::wstring m_name;
    int m_id = -1;
};

}  // namespace NCAERep
