#pragma once
// Errors of the database component, numbered as the Jet provider numbers them so that the
// messages the operator sees carry familiar codes.
#include "base/NumberedError.h"

namespace tarnwick {

class DbError : public NumberedError {
public:
    using NumberedError::NumberedError;
};

namespace dberr {
// The provider's generic failure; what Jet reports when the database file is not there.
constexpr long FileNotFound = -2147467259;
// A file that exists but is not a database this component can open.
constexpr long UnrecognizedFormat = -2147418113;
// A value the column cannot take ("Multiple-step OLE DB operation generated errors").
constexpr long ConversionRefused = -2147217887;
// A query outside the forms the system issues.
constexpr long UnsupportedQuery = -2147217900;
// A table that does not exist.
constexpr long NoSuchTable = -2147217865;
// Storage failures reported by the database engine while reading or writing rows.
constexpr long StorageFailure = -2147467259;
// No current record (BOF or EOF, or a deleted row).
constexpr long NoCurrentRecord = -2146825267;
// A field name or index that is not in the Fields collection.
constexpr long ItemNotFound = -2146825023;
// The object is closed.
constexpr long ObjectClosed = -2146824584;
// The recordset was opened read-only.
constexpr long NotUpdatable = -2146825037;
// The provider's refusal of a database password.
constexpr long WrongPassword = -2147217843;
} // namespace dberr

// The error of a table the database does not have, worded as Jet words it.
inline DbError NoSuchTableError(const std::string &name) {
    return DbError(dberr::NoSuchTable, "The Microsoft Jet database engine cannot find the input table or query '" +
                                           name + "'.  Make sure it exists and that its name is spelled correctly.");
}

} // namespace tarnwick
