#pragma once

#include "MechanicsModel.h"
#include "SimulationMethod.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class SettingsFile;

// One named parameter as the user edits it. The value is kept as text, exactly
// as typed, loaded or defaulted; it becomes a number only when it is used.
struct ParameterRow {
    std::string Key;     // upper-case ident, unique in its table; also the settings ident
    std::string Caption; // shown instead of the key
    std::string Value;
    std::vector<std::string> PickList; // allowed texts, in order (SIM_METHOD, MECH_MODEL)
    bool ReadOnly = false;             // changeable only through the pick list
    std::string Hint;                  // shown with the caption, how to read the value
};

struct ParameterTable {
    std::string SectionName; // the grid's name and the settings file section
    std::string TabCaption;
    std::vector<ParameterRow> Rows; // display order and file order

    const ParameterRow *Find(std::string_view key) const;
    ParameterRow *Find(std::string_view key);
};

// Section names of the five parameter tables, in table order, and of the
// read-only current-state list.
inline constexpr std::string_view kConcentrations = "ValueListConcentrations";
inline constexpr std::string_view kRates = "ValueListRates";
inline constexpr std::string_view kSimulation = "ValueListSimulation";
inline constexpr std::string_view kMechanics = "ValueListMechanics";
inline constexpr std::string_view kBacterium = "ValueListBacterium";
inline constexpr std::string_view kCurrentState = "ValueListCurrentState";
// The window's own section of the settings file (its layout and views): no
// parameter of the world.
inline constexpr std::string_view kWindowSection = "Window";

// The texts of SIM_METHOD's pick list, one for each method.
inline constexpr std::string_view kFirstReaction = "First reaction";
inline constexpr std::string_view kNextReaction = "Next reaction";
inline constexpr std::string_view kTauLeap = "Tau-leap";
struct MethodText {
    SimulationMethod Method;
    std::string_view Text;
};
inline constexpr MethodText kMethodTexts[] = {{SimulationMethod::FirstReaction, kFirstReaction},
                                              {SimulationMethod::NextReaction, kNextReaction},
                                              {SimulationMethod::TauLeap, kTauLeap}};
// The method a pick-list text selects; None for any other text.
SimulationMethod MethodOfText(std::string_view text);

// The Arp2/3 model, the texts of its pick list, and the parameters that
// only "Branches" reads (a world of "Binding only" leaves them out of its
// world file).
inline constexpr std::string_view kArpModelKey = "ARP_MODEL";
inline constexpr std::string_view kBindingOnly = "Binding only";
inline constexpr std::string_view kBranches = "Branches";
inline constexpr std::string_view kBranchingKeys[] = {"ARP_MODEL", "ARP_ANGLE", "ARP_ANGLESD", "ARP_ZONE",
                                                      "RATE_DEBR"};

// The texts of MECH_MODEL's pick list, one for each model of the model
// table (MechanicsModel.h), in its order.
inline constexpr std::string_view kRigidBodies = "Rigid bodies";
inline constexpr std::string_view kViscous = "Viscous";
struct ModelText {
    MechanicsModel Model;
    std::string_view Text;
};
inline constexpr ModelText kModelTexts[] = {{MechanicsModel::RigidBodies, kRigidBodies},
                                            {MechanicsModel::Viscous, kViscous}};
using ModelTexts = std::span<const ModelText>;
// The model a pick-list text selects; none for any other text.
std::optional<MechanicsModel> ModelOfText(std::string_view text, ModelTexts texts = kModelTexts);
// The pick-list text of model; empty for a model without one.
std::string_view TextOfModel(MechanicsModel model, ModelTexts texts = kModelTexts);

// Column titles of the parameter grids.
inline constexpr std::string_view kNameColumnTitle = "Name";
inline constexpr std::string_view kValueColumnTitle = "Value";

// The parameters and the current-state rows, independent of any widget.
struct ParameterStore {
    std::vector<ParameterTable> Tables; // the five parameter tables, in order
    ParameterTable CurrentState;        // STATE_* rows; shown, never saved

    // The table with that section name (the five tables and the current
    // state); nullptr when there is none.
    const ParameterTable *Table(std::string_view sectionName) const;
    ParameterTable *Table(std::string_view sectionName);
};

// The one of the five tables that holds a row with that key; nullptr for
// none.
const ParameterTable *TableHolding(const ParameterStore &store, std::string_view key);

// Builds the five tables with their rows in order, values from settings (or
// the defaults when settings is null; MECH_MODEL "Rigid bodies", its pick
// list the texts of the models), SIM_METHOD always "First reaction", then the
// four current-state rows with the value "0".
void CreateParameterTables(ParameterStore &store, const SettingsFile *settings,
                           ModelTexts modelTexts = kModelTexts);

// Appends one row. With a settings file the value comes from it (the default
// text when it has none) with every "." and "," turned into the locale's
// decimal separator; without one, the default text unchanged.
void AddParameterRow(ParameterTable &table, std::string_view key, std::string_view defaultText,
                     const SettingsFile *settings, std::string_view caption);

// The value text of the row with that key; empty when the table (null) or the
// row is missing.
std::string ParameterText(const ParameterTable *table, std::string_view key);
std::string ParameterText(const ParameterStore &store, std::string_view sectionName, std::string_view key);

// ParameterText parsed with the locale's decimal separator; raises
// ConversionError ("'%s' is not a valid floating point value").
double ParameterNumber(const ParameterStore &store, std::string_view sectionName, std::string_view key);

// The values a parameter may take for the world to make physical sense.
enum class ParameterRange {
    Any,
    NotNegative, // concentrations and rate constants
    Positive,    // sizes, densities, the run time
    OpenUnit,    // shares strictly between 0 and 1 (the leaping accuracy)
};

// The range of the parameter with that key in that section; Any for one
// without a range of its own (and for SIM_METHOD, which is no number).
ParameterRange ParameterRangeOf(std::string_view sectionName, std::string_view key);

// A parameter that cannot be used; the message names its tab and caption
// and says why: the text is no number ("'abc' is not a valid floating point
// value") or the value is outside its range ("must be greater than 0").
class ParameterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A parameter as messages name it, by its tab and caption:
// Concentrations, "Concentration of G-actin [uM]".
std::string ParameterName(const ParameterTable &table, const ParameterRow &row);

// ParameterNumber for building the world: raises ParameterError naming the
// parameter for a text that is no number or a value outside its range.
double CheckedParameterNumber(const ParameterStore &store, std::string_view sectionName,
                              std::string_view key);

// Whether the mechanics model chosen in store's MECH_MODEL leaves the
// parameter with that key in that table unused: a parameter of the Mechanics
// or Bacterium table (other than MECH_MODEL) that its row in the model table
// does not list. The grids mark such rows; a text that selects no model
// marks nothing.
bool IsUnusedByMechanicsModel(const ParameterStore &store, std::string_view sectionName, std::string_view key,
                              const MechanicsModelTable &models = MechanicsModels(),
                              ModelTexts modelTexts = kModelTexts);

// Writes every row of the table, first to last, as (section name, key, value).
void SaveParameterTable(const ParameterTable &table, SettingsFile &settings);

// Writes the five tables in order into the settings file at path, keeping
// everything else the file holds. Raises SettingsWriteError when the file
// cannot be written; the old file then stays as it was.
void SaveSettings(const ParameterStore &store, const std::string &path);

// Sets the value of a current-state row, appending the row when the key is
// missing.
void SetStateValue(ParameterStore &store, std::string_view key, std::string_view value);
