// The failure family of the CAE representation. Every failure carries a composed English
// message, the name of the operation that failed and a code: code 0 is thrown at once,
// any other code is collected in a process-wide list and the failing look-up answers null.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace NCAERep {

class CCAEException : public std::exception {
  public:
    CCAEException(std::wstring message, std::wstring function, int code = 0);
    ~CCAEException() override = default;

    const std::wstring& getMessage() const { return m_message; }
    const std::wstring& getFunction() const { return m_function; }
    [[nodiscard]] int getCode() const { return m_code; }
    void setCode(int code) { m_code = code; }
    // "<function>: <message>", UTF-8.
    const char* what() const noexcept override { return m_what.c_str(); }

    // Throws a copy of the object's own dynamic type, so catch clauses of subclasses work
    // for exceptions that travel through RaiseOrCollect.
    [[noreturn]] virtual void raise() const { throw *this; }
    virtual std::shared_ptr<CCAEException> clone() const { return std::make_shared<CCAEException>(*this); }

  private:
    std::wstring m_message;
    std::wstring m_function;
    int m_code;
    std::string m_what;
};

#define NCAEREP_DECLARE_EXCEPTION(Name)                                                                 \
    class Name : public CCAEException {                                                                 \
      public:                                                                                           \
        Name(std::wstring message, std::wstring function, int code = 0)                                 \
            : CCAEException(std::move(message), std::move(function), code) {}                           \
        [[noreturn]] void raise() const override { throw *this; }                                       \
        std::shared_ptr<CCAEException> clone() const override { return std::make_shared<Name>(*this); } \
    }

// A property registered twice on one object.
NCAEREP_DECLARE_EXCEPTION(CCAERegisterPropertyException);
// A property read or written that the object does not have.
NCAEREP_DECLARE_EXCEPTION(CCAEPropertyDoesNotExist);
// An external object (an XML subtree) asked for that the object does not hold.
NCAEREP_DECLARE_EXCEPTION(CCAEExternalObjectDoesNotExist);
// A value read as a type other than the one it stores.
NCAEREP_DECLARE_EXCEPTION(CCAEInvalidGetValueType);
// A unit or quantity-type conversion that cannot be made.
NCAEREP_DECLARE_EXCEPTION(CCAEConversionException);
// A name, id or definition that is already present.
NCAEREP_DECLARE_EXCEPTION(CCAEEntryAlreadyExists);
// The XML library failed while a model was written.
NCAEREP_DECLARE_EXCEPTION(CCAEXMLSaveException);
// A model document that cannot be read: malformed XML, unknown element kinds, bad values.
NCAEREP_DECLARE_EXCEPTION(CCAEXMLResumeException);
// Several objects found where a look-up expects one.
NCAEREP_DECLARE_EXCEPTION(CCAEAmbiguousLookupException);
// An object type for which no factory is registered (light databases only).
NCAEREP_DECLARE_EXCEPTION(CCAEUnknownTypeException);

#undef NCAEREP_DECLARE_EXCEPTION

// Code 0 throws the exception (its own dynamic type); any other code appends a copy to the
// process-wide list and returns, after which the caller answers null.
void RaiseOrCollect(const CCAEException& exception, int code);

// The exceptions collected so far, oldest first.
std::vector<std::shared_ptr<CCAEException>> GetCollectedCAEExceptions();
std::size_t GetCollectedCAEExceptionCount();
// The solve entry clears the list at the start of every solve, so a run reports only its own.
void ClearCollectedCAEExceptions();

}  // namespace NCAERep
