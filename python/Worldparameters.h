#pragma once

#include "Parameters.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The parameters a world of the Python module is built from: a settings file
// or values given by ident, read as the runner reads its settings file.

// Input that a world cannot take (Python's ValueError).
class WorldInputError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The tables of the settings file at path, with the method given or else the
// file's. Raises WorldInputError when the file cannot be read or names no
// known method; warnings gets what the file holds in vain.
ParameterStore ParametersFromFile(const std::string &path, const std::optional<std::string> &method,
                                  std::vector<std::string> &warnings);

// The default tables with values as (ident, text) pairs, each ident one of
// ParameterIdents, and the method given or else a SIM_METHOD among the
// values. Texts are read as a settings file's: "." or "," is the decimal
// separator. Raises WorldInputError for a method that is not known.
ParameterStore ParametersFromValues(const std::vector<std::pair<std::string, std::string>> &values,
                                    const std::optional<std::string> &method);

// Every ident of the parameter tables, in table order.
std::vector<std::string> ParameterIdents();

// The message of a ParameterError with the ident of the parameter it names
// in front: "C_ACG: Concentrations, "Concentration of G-actin [uM]" must
// be ...".
std::string WithParameterIdent(const ParameterStore &store, const std::string &message);

// One parameter as filonex.parameters() lists it.
struct ParameterInfo {
    std::string Ident;
    std::string Caption;
    std::string Unit;    // from the caption's "[...]"; empty when it has none
    std::string Default; // as a settings file holds it
    std::string Range;   // "> 0", ">= 0", "any", or the texts a pick list allows
    std::string Table;   // the tab of the window
};
std::vector<ParameterInfo> ParameterInfos();
