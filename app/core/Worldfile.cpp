#include "Worldfile.h"

#include "Resetandapply.h"

#include "Outputfile.h"
#include "Appliedparameters.h"
#include "BacteriumFields.h"
#include "Cell.h"
#include "CellFields.h"
#include "ChemreactionFields.h"
#include "CounterRandom.h"
#include "FloatingPoint.h"
#include "Numbertext.h"
#include "Random.h"
#include "RandomFields.h"
#include "Regularfile.h"
#include "Resetandapply.h"
#include "SolidfilamentFields.h"
#include "TauLeapFields.h"
#include "Worldfilecheck.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <concepts>
#include <functional>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr std::string_view kMethodKey = "SIM_METHOD";
constexpr std::string_view kAccuracyKey = "SIM_TAUEPS";
// Far above any world that fits in memory: a larger file is no world.
constexpr std::uint64_t kLargestWorldFile = std::uint64_t(4) << 30;

// The filament constants shared by every filament.
struct FilamentMaterial {
    double Radius = 0.0;
    double LinearDensity = 0.0;
};

// Each part's field list (SolidFields.h, SolidfilamentFields.h,
// BacteriumFields.h, CellFields.h, ChemreactionFields.h, RandomFields.h,
// TauLeapFields.h, the mechanics models' constants) is written once and
// serves both directions: a Writer puts the fields into JSON, a Reader takes
// them out with checks. What spans parts stays here: the channels by name,
// the versions, the order and the checks of the whole.

// Every channel of the program, by name. A file may name them in any order
// and leave some out: those read as never fired, with no rate, as they were
// not part of the saved world's chemistry.
template <typename Io, typename Cell>
void ChannelsField(const Io &io, Cell &c)
{
    if constexpr (Io::kReads) {
        for (CChemReaction &reaction : c.Reactions)
            reaction.SetRate(0.0, 1.0);
        std::vector<bool> read(c.Reactions.size());
        io.Entries("channels", [&](const Io &channel) {
            const std::string name = channel.Text("name");
            const std::optional<int> index = c.ChannelIndex(name);
            const std::string where = Member(channel.Where(), "name");
            if (!index)
                throw ContentFault{where, "\"" + name + "\" is no reaction channel of this program"};
            if (read[std::size_t(*index)])
                throw ContentFault{where, "the channel \"" + name + "\" is listed twice"};
            read[std::size_t(*index)] = true;
            ChannelFields(channel, c.Reactions[std::size_t(*index)]);
        });
    } else {
        io.Array("channels", c.Reactions.size(), [&](const Io &channel, std::size_t i) {
            channel.Label("name", c.Channels[i].Name);
            ChannelFields(channel, c.Reactions[i]);
        });
    }
}

// The constants of the cell's mechanics models that came with format
// versions first to last, model by model in table order. Those of the first
// layouts follow the channels, the later ones the model's name.
template <typename Io>
void ModelConstantFields(const Io &io, const CCell &cell, int first, int last)
{
    for (const HeldConstant &held : MechanicsConstants(cell))
        if (held.Constant.SinceVersion >= first && held.Constant.SinceVersion <= last)
            io(held.Constant.Field, *held.Constant.Value);
}

// JSON has no infinities or NaNs: such a value is refused before it would
// turn into a null that no load accepts.
double CheckedFinite(double v, const std::string &where, std::string_view key)
{
    if (!std::isfinite(v))
        throw ContentFault{Member(where, key), "the value is not a finite number"};
    return v;
}

class Writer {
public:
    static constexpr bool kReads = false;
    Writer(OrderedJson &object, std::string where) : object_(object), where_(std::move(where)) {}

    void operator()(std::string_view key, double v) const { object_[std::string(key)] = Finite(key, v); }
    void operator()(std::string_view key, bool v) const { object_[std::string(key)] = v; }
    template <std::integral Int>
    requires(!std::same_as<Int, bool>) void operator()(std::string_view key, Int v) const
    {
        object_[std::string(key)] = v;
    }
    void operator()(std::string_view key, const CVector &v) const
    {
        object_[std::string(key)] = {Finite(key, v.x), Finite(key, v.y), Finite(key, v.z)};
    }
    void operator()(std::string_view key, const CMatrix &m) const
    {
        object_[std::string(key)] = {{Finite(key, m.m00), Finite(key, m.m01), Finite(key, m.m02)},
                                     {Finite(key, m.m10), Finite(key, m.m11), Finite(key, m.m12)},
                                     {Finite(key, m.m20), Finite(key, m.m21), Finite(key, m.m22)}};
    }
    template <std::size_t N>
    void operator()(std::string_view key, const std::array<std::int32_t, N> &values) const
    {
        object_[std::string(key)] = values;
    }
    void Label(std::string_view key, std::string_view text) const { object_[std::string(key)] = text; }
    void Null(std::string_view key) const { object_[std::string(key)] = nullptr; }
    void Value(std::string_view key, OrderedJson value) const { object_[std::string(key)] = std::move(value); }
    template <typename Fill>
    void Object(std::string_view key, Fill fill) const
    {
        OrderedJson &member = object_[std::string(key)] = OrderedJson::object();
        Writer writer(member, Member(where_, key));
        fill(writer);
    }
    template <typename Fill>
    void Array(std::string_view key, std::size_t count, Fill fill) const
    {
        OrderedJson &member = object_[std::string(key)] = OrderedJson::array();
        for (std::size_t i = 0; i < count; ++i) {
            Writer writer(member.emplace_back(OrderedJson::object()), Element(Member(where_, key), i));
            fill(writer, i);
        }
    }

private:
    double Finite(std::string_view key, double v) const { return CheckedFinite(v, where_, key); }

    OrderedJson &object_;
    std::string where_;
};

std::string PlaceText(const std::string &where)
{
    return where;
}

template <std::invocable Where>
std::string PlaceText(const Where &where)
{
    return where();
}

class Reader {
public:
    static constexpr bool kReads = true;
    Reader(const Json &object, std::string where) : object_(object), where_(std::move(where))
    {
        if (!object_.is_object())
            throw ContentFault{where_, "an object {...} is expected here"};
    }

    void operator()(std::string_view key, double &v) const { v = Number(Find(key), Member(where_, key)); }
    void operator()(std::string_view key, bool &v) const { v = Boolean(Find(key), Member(where_, key)); }
    template <std::integral Int>
    requires(!std::same_as<Int, bool>) void operator()(std::string_view key, Int &v) const
    {
        v = Integer<Int>(Find(key), Member(where_, key));
    }
    void operator()(std::string_view key, CVector &v) const
    {
        const std::string where = Member(where_, key);
        const Json &value = Sized(Find(key), 3, where, "3 numbers [x, y, z]");
        v = CVector(Number(value[0], Element(where, 0)), Number(value[1], Element(where, 1)),
                    Number(value[2], Element(where, 2)));
    }
    void operator()(std::string_view key, CMatrix &m) const
    {
        const std::string where = Member(where_, key);
        const Json &rows = Sized(Find(key), 3, where, "3 rows of 3 numbers");
        double *cells[3][3] = {{&m.m00, &m.m01, &m.m02}, {&m.m10, &m.m11, &m.m12}, {&m.m20, &m.m21, &m.m22}};
        for (std::size_t r = 0; r < 3; ++r) {
            const std::string rowWhere = Element(where, r);
            const Json &row = Sized(rows[r], 3, rowWhere, "a row of 3 numbers");
            for (std::size_t c = 0; c < 3; ++c)
                *cells[r][c] = Number(row[c], Element(rowWhere, c));
        }
    }
    template <std::size_t N>
    void operator()(std::string_view key, std::array<std::int32_t, N> &values) const
    {
        const std::string where = Member(where_, key);
        const Json &array = Sized(Find(key), N, where, std::to_string(N) + " whole numbers");
        for (std::size_t i = 0; i < N; ++i)
            values[i] = Integer<std::int32_t>(array[i], Element(where, i));
    }
    void Label(std::string_view key, std::string_view expected) const
    {
        if (Text(key) != expected)
            throw ContentFault{Member(where_, key), "\"" + std::string(expected) + "\" is expected here"};
    }
    template <typename Fill>
    void Object(std::string_view key, Fill fill) const
    {
        Reader reader(Find(key), Member(where_, key));
        fill(reader);
        reader.RefuseOthers();
    }
    // A list of objects of any length.
    template <typename Fill>
    void Entries(std::string_view key, Fill fill) const
    {
        const std::string where = Member(where_, key);
        const Json &array = Find(key);
        if (!array.is_array())
            throw ContentFault{where, "a list [...] is expected here"};
        for (std::size_t i = 0; i < array.size(); ++i) {
            Reader reader(array[i], Element(where, i));
            fill(reader);
            reader.RefuseOthers();
        }
    }
    template <typename Fill>
    void Array(std::string_view key, std::size_t count, Fill fill) const
    {
        const std::string where = Member(where_, key);
        const Json &array = Sized(Find(key), count, where, std::to_string(count) + " entries");
        for (std::size_t i = 0; i < count; ++i) {
            Reader reader(array[i], Element(where, i));
            fill(reader, i);
            reader.RefuseOthers();
        }
    }

    std::string Text(std::string_view key) const
    {
        const Json &value = Find(key);
        if (!value.is_string())
            throw ContentFault{Member(where_, key), "a text \"...\" is expected here"};
        return value.get<std::string>();
    }
    const Json &Find(std::string_view key) const
    {
        read_.emplace_back(key);
        const auto found = object_.find(key);
        if (found == object_.end())
            throw ContentFault{Member(where_, key), "this member is missing"};
        return *found;
    }
    const Json &Members() const { return object_; }
    const std::string &Where() const { return where_; }
    // Marks a member that the file may hold as read: one kept for people.
    void Skip(std::string_view key) const { read_.emplace_back(key); }
    // Raises ContentFault for a member that was not read: one no file of
    // this format version holds, such as a member of a later version in an
    // older file, which would otherwise be ignored.
    void RefuseOthers() const
    {
        for (const auto &item : object_.items())
            if (std::find(read_.begin(), read_.end(), item.key()) == read_.end())
                throw ContentFault{Member(where_, item.key()),
                                   "there is no such member in a file of this format version"};
    }

    // The checks take the place of a fault as a function, called only when
    // there is a fault: building it for each of a million numbers would
    // cost more than reading them.
    template <typename Where>
    static double Number(const Json &value, const Where &where)
    {
        if (!value.is_number())
            throw ContentFault{PlaceText(where), "a number is expected here"};
        const double v = value.get<double>();
        if (!std::isfinite(v))
            throw ContentFault{PlaceText(where), "the number is not finite"};
        return v;
    }

    template <std::integral Int, typename Where>
    static Int Integer(const Json &value, const Where &where)
    {
        if (!value.is_number_integer())
            throw ContentFault{PlaceText(where), "a whole number is expected here"};
        const bool fits =
            value.is_number_unsigned()
                ? value.get<std::uint64_t>() <= std::uint64_t(std::numeric_limits<Int>::max())
                : value.get<std::int64_t>() >= std::int64_t(std::numeric_limits<Int>::min()) &&
                      value.get<std::int64_t>() <= std::int64_t(std::numeric_limits<Int>::max());
        if (!fits)
            throw ContentFault{PlaceText(where), "the number is out of range"};
        return value.is_number_unsigned() ? Int(value.get<std::uint64_t>()) : Int(value.get<std::int64_t>());
    }

    template <typename Where>
    static bool Boolean(const Json &value, const Where &where)
    {
        if (!value.is_boolean())
            throw ContentFault{PlaceText(where), "true or false is expected here"};
        return value.get<bool>();
    }

    static const Json &Sized(const Json &value, std::size_t size, const std::string &where,
                             const std::string &expected)
    {
        if (!value.is_array() || value.size() != size)
            throw ContentFault{where, expected + " are expected here"};
        return value;
    }

private:
    const Json &object_;
    std::string where_;
    mutable std::vector<std::string> read_; // the members asked for
};

// A filament is one row of numbers (true and false for its flags), in the
// order of its field list; the file names the columns once. Rows keep a
// world of ten thousand filaments quick to write and read.

class ColumnNames {
public:
    explicit ColumnNames(std::vector<std::string> &names) : names_(names) {}

    void operator()(std::string_view key, double) const { names_.emplace_back(key); }
    void operator()(std::string_view key, bool) const { names_.emplace_back(key); }
    void operator()(std::string_view key, std::int32_t) const { names_.emplace_back(key); }
    void operator()(std::string_view key, const CVector &) const
    {
        for (const char *axis : {".x", ".y", ".z"})
            names_.push_back(std::string(key) + axis);
    }
    void operator()(std::string_view key, const CMatrix &) const
    {
        for (const char *cell : {".m00", ".m01", ".m02", ".m10", ".m11", ".m12", ".m20", ".m21", ".m22"})
            names_.push_back(std::string(key) + cell);
    }

private:
    std::vector<std::string> &names_;
};

const std::vector<std::string> &FilamentColumns()
{
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> names;
        const CSolidFilament blank;
        FilamentFields(ColumnNames(names), blank);
        return names;
    }();
    return columns;
}

class RowWriter {
public:
    explicit RowWriter(OrderedJson &row, const std::string &where) : row_(row), where_(where) {}

    void operator()(std::string_view key, double v) const { row_.push_back(Finite(key, v)); }
    void operator()(std::string_view, bool v) const { row_.push_back(v); }
    void operator()(std::string_view, std::int32_t v) const { row_.push_back(v); }
    void operator()(std::string_view key, const CVector &v) const
    {
        for (const double component : {v.x, v.y, v.z})
            (*this)(key, component);
    }
    void operator()(std::string_view key, const CMatrix &m) const
    {
        for (const double cell : {m.m00, m.m01, m.m02, m.m10, m.m11, m.m12, m.m20, m.m21, m.m22})
            (*this)(key, cell);
    }

private:
    double Finite(std::string_view key, double v) const { return CheckedFinite(v, where_, key); }

    OrderedJson &row_;
    const std::string &where_;
};

class RowReader {
    const Json &row_;
    const std::string &where_;
    mutable std::size_t next_ = 0;

    const Json &Next() const { return row_[next_++]; }
    // The place of the value just taken, built only for a fault.
    auto Where() const
    {
        return [this] { return Member(where_, FilamentColumns()[next_ - 1]); };
    }

public:
    RowReader(const Json &row, const std::string &where) : row_(row), where_(where)
    {
        if (!row_.is_array() || row_.size() != FilamentColumns().size())
            throw ContentFault{where_, std::to_string(FilamentColumns().size()) +
                                           " values, one for each of filamentColumns, are expected here"};
    }

    void operator()(std::string_view, double &v) const { v = Reader::Number(Next(), Where()); }
    void operator()(std::string_view, bool &v) const { v = Reader::Boolean(Next(), Where()); }
    void operator()(std::string_view, std::int32_t &v) const
    {
        v = Reader::Integer<std::int32_t>(Next(), Where());
    }
    void operator()(std::string_view key, CVector &v) const
    {
        for (double *component : {&v.x, &v.y, &v.z})
            (*this)(key, *component);
    }
    void operator()(std::string_view key, CMatrix &m) const
    {
        for (double *cell : {&m.m00, &m.m01, &m.m02, &m.m10, &m.m11, &m.m12, &m.m20, &m.m21, &m.m22})
            (*this)(key, *cell);
    }
};

// The text a parameter grid shows for a saved value: the general number
// format when it reads back as the same number, otherwise the shortest text
// that does, so that a reset-and-apply from the grids rebuilds the world
// from the very values it was built from.
std::string ParameterValueText(double v)
{
    const std::string general = FormatNumber(v);
    if (ParseNumber(general) == v)
        return general;
    char buffer[64];
    const auto end = std::to_chars(std::begin(buffer), std::end(buffer), v).ptr;
    std::string exact(std::begin(buffer), end);
    std::replace(exact.begin(), exact.end(), '.', DecimalSeparator());
    return exact;
}

// The parameters that came with format version 3.
bool IsVersionThreeParameter(std::string_view key)
{
    return key == "MECH_MODEL" || key == "MECH_TEMP" || key == "MECH_CONTACTK" || key == "SIM_TAUEPS";
}

bool IsBranchingParameter(std::string_view key)
{
    return std::find(std::begin(kBranchingKeys), std::end(kBranchingKeys), key) != std::end(kBranchingKeys);
}

OrderedJson ParametersJson(const ParameterStore &applied)
{
    OrderedJson parameters = OrderedJson::object();
    const bool branches = ParameterText(applied, kRates, kArpModelKey) == kBranches;
    for (const ParameterTable &table : applied.Tables) {
        OrderedJson &section = parameters[table.SectionName] = OrderedJson::object();
        for (const ParameterRow &row : table.Rows) {
            if (row.Key == kMethodKey || (!branches && IsBranchingParameter(row.Key)))
                continue;
            if (!row.PickList.empty()) {
                section[row.Key] = row.Value;
                continue;
            }
            try {
                section[row.Key] = ParseNumber(row.Value);
            } catch (const ConversionError &e) {
                throw ContentFault{"parameters." + table.SectionName + "." + row.Key, e.what()};
            }
        }
    }
    return parameters;
}

// Fresh tables holding the saved values. Every parameter must be there, and
// nothing else; files before version 3 may lack those that came with it,
// which keep their defaults, and a world without branches those of
// branching, which keep theirs.
ParameterStore ReadParameters(const Reader &file, int version, ModelTexts modelTexts)
{
    ParameterStore store;
    CreateParameterTables(store, nullptr, modelTexts);
    const Reader parameters(file.Find("parameters"), "parameters");
    const std::string method = file.Text("method");
    for (ParameterTable &table : store.Tables) {
        const Reader section(parameters.Find(table.SectionName), Member("parameters", table.SectionName));
        for (ParameterRow &row : table.Rows) {
            if (row.Key == kMethodKey) {
                if (std::find(row.PickList.begin(), row.PickList.end(), method) == row.PickList.end())
                    throw ContentFault{"method", "'" + method + "' is no simulation method"};
                row.Value = method;
                continue;
            }
            if (((version < 3 && IsVersionThreeParameter(row.Key)) || IsBranchingParameter(row.Key)) &&
                !section.Members().contains(row.Key))
                continue;
            if (!row.PickList.empty()) {
                const std::string text = section.Text(row.Key);
                if (std::find(row.PickList.begin(), row.PickList.end(), text) == row.PickList.end())
                    throw ContentFault{Member(section.Where(), row.Key),
                                       "'" + text + "' is not one of its choices"};
                row.Value = text;
                continue;
            }
            double value = 0.0;
            section(row.Key, value);
            row.Value = ParameterValueText(value);
        }
        for (const auto &item : section.Members().items()) {
            if (!table.Find(item.key()) || item.key() == kMethodKey)
                throw ContentFault{Member(section.Where(), item.key()), "there is no such parameter"};
        }
    }
    for (const auto &item : parameters.Members().items()) {
        if (!store.Table(item.key()) || item.key() == kCurrentState)
            throw ContentFault{Member("parameters", item.key()), "there is no such parameter table"};
    }
    return store;
}

constexpr std::string_view kModelKey = "mechanicsModel";
constexpr std::string_view kNextIdKey = "nextFilamentId";
constexpr std::string_view kFilamentIdsKey = "filamentIds";

// The model that the cell's text names; one of the cell's table.
MechanicsModel ReadModel(const Reader &cellReader, const CCell &cell, ModelTexts modelTexts)
{
    const std::string name = cellReader.Text(kModelKey);
    const std::optional<MechanicsModel> model = ModelOfText(name, modelTexts);
    if (!model || !FindModelRow(cell.Models(), *model))
        throw ContentFault{Member(cellReader.Where(), kModelKey), "\"" + name + "\" is no mechanics model"};
    return *model;
}

// Every model's constants within the ranges of the parameters that set
// them; those of the chosen model that it cannot move a world without above
// 0.
void CheckModelConstants(const CCell &cell, const ParameterStore &parameters, ModelTexts modelTexts)
{
    for (const HeldConstant &held : MechanicsConstants(cell)) {
        const ModelConstant &constant = held.Constant;
        const ParameterTable *table = TableHolding(parameters, constant.Parameter);
        const ParameterRange range =
            table ? ParameterRangeOf(table->SectionName, constant.Parameter) : ParameterRange::Any;
        const double v = *constant.Value;
        const std::string where = Member("cell", constant.Field);
        if (range == ParameterRange::NotNegative && !(v >= 0.0))
            throw ContentFault{where, "a value of 0 or more is expected here"};
        if (range == ParameterRange::Positive && !(v > 0.0))
            throw ContentFault{where, "a value above 0 is expected here"};
        if (constant.PositiveWhenChosen && held.Model == cell.Model && !(v > 0.0))
            throw ContentFault{where, "a value above 0 is expected here for the \"" +
                                          std::string(TextOfModel(held.Model, modelTexts)) + "\" model"};
        if (range == ParameterRange::OpenUnit && !(v > 0.0 && v < 1.0))
            throw ContentFault{where, "a value above 0 and below 1 is expected here"};
    }
}

// The saved ids of the filaments, in list order: every one a filament's
// (not the bacterium's 0), none twice, all below the next id.
void ReadFilamentIds(const Reader &file, const Reader &cellReader, CFilamentList &filaments)
{
    std::uint32_t next = 0;
    cellReader(kNextIdKey, next);
    const std::string where(kFilamentIdsKey);
    const Json &saved = Reader::Sized(file.Find(kFilamentIdsKey), filaments.size(), where,
                                      std::to_string(filaments.size()) + " whole numbers");
    std::vector<std::uint32_t> ids(filaments.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        ids[i] = Reader::Integer<std::uint32_t>(saved[i], Element(where, i));
        if (ids[i] < CFilamentList::kFirstFilamentId || ids[i] >= next)
            throw ContentFault{Element(where, i), "an id from " +
                                                      std::to_string(CFilamentList::kFirstFilamentId) +
                                                      " to below cell.nextFilamentId is expected here"};
    }
    std::vector<std::uint32_t> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
        throw ContentFault{where, "two filaments have the same id"};
    std::size_t i = 0;
    for (CSolidFilament &f : filaments)
        f.Id = ids[i++];
    filaments.IndexIds();
    filaments.SetNextId(next);
}

constexpr std::string_view kBranchesKey = "branches";

// Every bound branch as [its id, its mother's id, the site on the mother].
void WriteBranches(const Writer &cellWriter, const CCell &cell)
{
    OrderedJson branches = OrderedJson::array();
    for (const CSolidFilament &f : cell.Filaments)
        if (!f.IsPointedEndFree())
            branches.push_back(OrderedJson::array({f.Id, f.Mother, f.Site}));
    cellWriter.Value(kBranchesKey, std::move(branches));
}

void ReadBranches(const Reader &cellReader, CCell &cell)
{
    const std::string where = Member(cellReader.Where(), kBranchesKey);
    const Json &branches = cellReader.Find(kBranchesKey);
    if (!branches.is_array())
        throw ContentFault{where, "a list [...] of [branch, mother, site] is expected here"};
    for (std::size_t i = 0; i < branches.size(); ++i) {
        const std::string entry = Element(where, i);
        const Json &link = Reader::Sized(branches[i], 3, entry, "[branch, mother, site]");
        CSolidFilament *branch = cell.Filaments.FindById(Reader::Integer<std::uint32_t>(link[0], entry));
        const CSolidFilament *mother = cell.Filaments.FindById(Reader::Integer<std::uint32_t>(link[1], entry));
        const std::int32_t site = Reader::Integer<std::int32_t>(link[2], entry);
        if (!branch || !mother || branch == mother)
            throw ContentFault{entry, "the branch and its mother must be two filaments of the list"};
        if (!branch->IsPointedEndFree())
            throw ContentFault{entry, "the branch is listed twice"};
        if (site < 0 || site >= mother->Monomers)
            throw ContentFault{entry, "the site lies outside the mother's monomers"};
        branch->Mother = mother->Id;
        branch->Site = site;
        cell.Filaments.Refresh(*branch);
    }
    cell.IndexBranches();
}

constexpr std::string_view kPendingKey = "pendingReaction";
constexpr std::string_view kTauLeapKey = "tauLeap";

// Where a leaping run stands: the leaps made (which count the next leap's
// draws) and the exact steps owed before the next one. Files written before
// leaping existed hold a world that has made none.
void ReadTauLeap(const Reader &cellReader, CTauLeap &leap)
{
    cellReader.Object(kTauLeapKey, [&](const Reader &fields) {
        TauLeapFields(fields, leap);
        if (leap.ExactStepsLeft < 0 || leap.ExactStepsLeft > CTauLeap::EXACT_STEPS)
            throw ContentFault{Member(fields.Where(), "exactStepsLeft"),
                               "must be 0 to " + std::to_string(CTauLeap::EXACT_STEPS)};
    });
}

void WritePending(const Writer &cellWriter, const CCell &cell, const std::optional<CCell::PendingReaction> &pending)
{
    if (!pending) {
        cellWriter.Null(kPendingKey);
        return;
    }
    cellWriter.Object(kPendingKey, [&](const Writer &reaction) {
        reaction.Label("channel", cell.Channels[pending->Channel].Name);
        reaction("time", pending->Time);
    });
}

// The reaction that the saved run drew but had not yet fired, due at or
// after the cell's time.
std::optional<CCell::PendingReaction> ReadPending(const Reader &cellReader, const CCell &cell)
{
    if (cellReader.Find(kPendingKey).is_null())
        return std::nullopt;
    std::optional<CCell::PendingReaction> pending;
    cellReader.Object(kPendingKey, [&](const Reader &reaction) {
        const std::string name = reaction.Text("channel");
        const std::optional<int> channel = cell.ChannelIndex(name);
        if (!channel)
            throw ContentFault{Member(reaction.Where(), "channel"),
                               "\"" + name + "\" is no reaction channel"};
        double time = 0.0;
        reaction("time", time);
        if (time < cell.Time)
            throw ContentFault{Member(reaction.Where(), "time"),
                               "the reaction is due before the cell's time"};
        pending = CCell::PendingReaction{*channel, time};
    });
    return pending;
}

// What a world file holds outside the cell and the filament list.
struct WorldExtras {
    WorldContext Context;
    FilamentMaterial Material;
    RandomState Random;
    std::uint32_t CounterKey = 0;
};

// Reads the whole world into cell and returns the rest. Reading into a
// spare cell first finds every fault without touching anything; reading
// the same document again into the real cell then cannot fail.
WorldExtras ReadWorld(const Json &document, CCell &cell, ModelTexts modelTexts)
{
    if (!document.is_object() || !document.contains("format") || !document["format"].is_string() ||
        document["format"].get<std::string>() != kWorldFormatName)
        throw ContentFault{"format", "this is not a world file"};
    const Reader file(document, "");
    int version = 0;
    file("formatVersion", version);
    if (version < kOldestWorldFormatVersion || version > kWorldFormatVersion)
        throw ContentFault{"formatVersion", "the file has format version " + std::to_string(version) +
                                                "; this program reads versions " +
                                                std::to_string(kOldestWorldFormatVersion) + " to " +
                                                std::to_string(kWorldFormatVersion)};

    WorldExtras extras;
    file("targetTime", extras.Context.TargetTime);
    extras.Context.Parameters = ReadParameters(file, version, modelTexts);
    const Reader randomReader(file.Find("random"), "random");
    RandomFields(randomReader, extras.Random);
    // Before version 3 no counter-based draw was made: the key is the one
    // the saved state would have given.
    if (version >= 3)
        randomReader("counterKey", extras.CounterKey);
    else
        extras.CounterKey = CounterKeyOf(extras.Random);
    // What the writer tells people; the mode says it.
    randomReader.Skip("complete");
    randomReader.Skip("note");
    randomReader.RefuseOthers();
    extras.Context.RandomStateComplete = !UsesLibraryGenerator(extras.Random.Mode);

    try {
        ApplyArpModel(extras.Context.Parameters, cell);
    } catch (const ParameterError &error) {
        throw ContentFault{Member(Member("parameters", kRates), kArpModelKey), error.what()};
    }
    cell.Reset();
    // Constants that the file's version does not keep take their defaults.
    cell.RestoreDefaultConstants();
    const Reader cellReader(file.Find("cell"), "cell");
    CellFields(cellReader, cell);
    ChannelsField(cellReader, cell);
    ModelConstantFields(cellReader, cell, 1, 2);
    cell.ObsCount = CCell::ObservationIndexAt(cell.ObsTime, cell.ObsTimeStep);
    MaterialFields(cellReader, extras.Material);
    // Version 1 ended every run with its last reaction fired.
    if (version >= 2)
        cell.Pending = ReadPending(cellReader, cell);
    // Before version 3 every world followed the rigid-body model.
    cell.Model = MechanicsModel::RigidBodies;
    if (version >= 3) {
        cell.Model = ReadModel(cellReader, cell, modelTexts);
        ModelConstantFields(cellReader, cell, 3, version);
        cellReader("mechStepCount", cell.MechStepCount);
        ReadTauLeap(cellReader, cell.TauLeap);
    }
    CheckModelConstants(cell, extras.Context.Parameters, modelTexts);
    const double accuracy = ParameterNumber(extras.Context.Parameters, kSimulation, kAccuracyKey);
    if (!(accuracy > 0 && accuracy < 1))
        throw ContentFault{Member(Member("parameters", kSimulation), kAccuracyKey),
                           "must be greater than 0 and less than 1"};
    cell.TauLeap.Accuracy = accuracy;

    const Json &bacterium = file.Find("bacterium");
    cell.Bacterium.reset();
    if (!bacterium.is_null()) {
        cell.Bacterium = std::make_unique<CBacterium>();
        const Reader bacteriumReader(bacterium, "bacterium");
        BacteriumFields(bacteriumReader, *cell.Bacterium);
        // Before version 3 the position at reset was not kept: displacements
        // count from where the world was saved.
        if (version >= 3)
            bacteriumReader("resetPosition", cell.Bacterium->ResetPosition);
        else
            cell.Bacterium->ResetPosition = cell.Bacterium->Center;
        bacteriumReader.RefuseOthers();
    }

    const Json &filaments = file.Find("filaments");
    if (!filaments.is_array())
        throw ContentFault{"filaments", "a list [...] of filaments is expected here"};
    if (file.Find("filamentColumns") != Json(FilamentColumns()))
        throw ContentFault{"filamentColumns", "the columns differ from those of this format version"};
    for (std::size_t i = 0; i < filaments.size(); ++i) {
        const std::string where = Element("filaments", i);
        CSolidFilament filament;
        FilamentFields(RowReader(filaments[i], where), filament);
        if (filament.Monomers < 3)
            throw ContentFault{Member(where, "monomers"), "a filament of " +
                                                              std::to_string(filament.Monomers) +
                                                              " monomers; every filament has at least three"};
        cell.Filaments.Append(filament);
    }
    // Older files number the filaments in list order, as they are appended.
    if (version >= 3)
        ReadFilamentIds(file, cellReader, cell.Filaments);
    if (cell.Arp == ArpModel::Branches)
        ReadBranches(cellReader, cell);
    cellReader.RefuseOthers();
    file.Skip("format");
    file.Skip("program");
    file.RefuseOthers();
    CheckCellState(cell);
    CheckFilamentMaterial(extras.Material.Radius, extras.Material.LinearDensity);
    CheckRandomState(extras.Random);
    cell.Material = {extras.Material.Radius, extras.Material.LinearDensity};
    return extras;
}

// Objects down to this depth get one member a line; deeper values and the
// entries of a list of lists or objects (a filament, a channel, a matrix
// row) take one line each.
constexpr int kExpandedDepth = 3;

void AppendLayout(std::string &out, const OrderedJson &value, int depth)
{
    const bool expandObject = value.is_object() && !value.empty() && depth < kExpandedDepth;
    const bool expandList = value.is_array() && !value.empty() && value.front().is_structured();
    if (!expandObject && !expandList) {
        out += value.dump();
        return;
    }
    const std::string indent(2 * std::size_t(depth + 1), ' ');
    out += expandObject ? '{' : '[';
    const char *separator = "\n";
    for (const auto &item : value.items()) {
        out += separator;
        separator = ",\n";
        out += indent;
        if (expandObject) {
            out += OrderedJson(item.key()).dump() + ": ";
            AppendLayout(out, item.value(), depth + 1);
        } else {
            out += item.value().dump();
        }
    }
    out += "\n" + indent.substr(2) + (expandObject ? '}' : ']');
}

std::string WorldText(const CCell &cell, const ParameterStore &applied, double targetTime, ModelTexts modelTexts)
{
    OrderedJson document = OrderedJson::object();
    document["format"] = kWorldFormatName;
    // Worlds without branches keep the format before branches.
    document["formatVersion"] = cell.Arp == ArpModel::Branches ? kWorldFormatVersion : kWorldFormatVersion - 1;
    document["program"] = "Filonex " FILONEX_VERSION;
    Writer file(document, "");
    file("targetTime", targetTime);
    document["method"] = ParameterText(applied, kSimulation, kMethodKey);
    document["parameters"] = ParametersJson(applied);

    const RandomState random = cell.Random.Capture();
    file.Object("random", [&](const Writer &stream) {
        RandomFields(stream, random);
        stream("counterKey", cell.CounterKey);
        const bool complete = !UsesLibraryGenerator(random.Mode);
        stream("complete", complete);
        if (!complete)
            stream.Label("note", IncompleteRandomStateWarning(cell));
    });

    file.Object("cell", [&](const Writer &cellWriter) {
        CellFields(cellWriter, cell);
        ChannelsField(cellWriter, cell);
        ModelConstantFields(cellWriter, cell, 1, 2);
        const FilamentMaterial material{cell.Material.Radius, cell.Material.LinearDensity};
        MaterialFields(cellWriter, material);
        WritePending(cellWriter, cell, cell.Pending);
        cellWriter.Label(kModelKey, TextOfModel(cell.Model, modelTexts));
        ModelConstantFields(cellWriter, cell, 3, kWorldFormatVersion);
        cellWriter("mechStepCount", cell.MechStepCount);
        cellWriter(kNextIdKey, cell.Filaments.NextId());
        cellWriter.Object(kTauLeapKey,
                          [&](const Writer &leap) { TauLeapFields(leap, std::as_const(cell.TauLeap)); });
        if (cell.Arp == ArpModel::Branches)
            WriteBranches(cellWriter, cell);
    });
    if (cell.Bacterium)
        file.Object("bacterium", [&](const Writer &b) {
            BacteriumFields(b, std::as_const(*cell.Bacterium));
            b("resetPosition", cell.Bacterium->ResetPosition);
        });
    else
        document["bacterium"] = nullptr;

    document["filamentColumns"] = FilamentColumns();
    OrderedJson &filaments = document["filaments"] = OrderedJson::array();
    filaments.get_ref<OrderedJson::array_t &>().reserve(cell.Filaments.size());
    std::size_t i = 0;
    for (const CSolidFilament &f : cell.Filaments) {
        OrderedJson &row = filaments.emplace_back(OrderedJson::array());
        row.get_ref<OrderedJson::array_t &>().reserve(FilamentColumns().size());
        FilamentFields(RowWriter(row, Element("filaments", i++)), f);
    }
    OrderedJson &ids = document[std::string(kFilamentIdsKey)] = OrderedJson::array();
    for (const CSolidFilament &f : cell.Filaments)
        ids.push_back(f.Id);

    std::string text;
    AppendLayout(text, document, 0);
    text += '\n';
    return text;
}

// nlohmann's message without its "[json.exception...] " prefix.
std::string Explanation(const Json::exception &e)
{
    const std::string message = e.what();
    const auto prefixEnd = message.find("] ");
    return prefixEnd == std::string::npos ? message : message.substr(prefixEnd + 2);
}

std::string FileFault(const std::string &path, const std::string &where, const std::string &what)
{
    return "World file '" + path + "'" + (where.empty() ? "" : ", " + where) + ": " + what;
}

} // namespace

void SaveWorld(const std::string &path, const CCell &cell, const ParameterStore &applied, double targetTime,
               ModelTexts modelTexts)
{
    // Formatting numbers may raise inexact and underflow flags, which are
    // no faults; run traps stay out of it.
    const fp::Traps off(false);
    std::string text;
    try {
        text = WorldText(cell, applied, targetTime, modelTexts);
    } catch (const ContentFault &fault) {
        throw WorldFileError(FileFault(path, fault.Where, "cannot be saved: " + fault.What));
    }
    try {
        WriteOutputFile(path, text);
    } catch (const OutputError &e) {
        throw WorldFileError(
            FileFault(path, "", "cannot be written: " + e.Reason()));
    }
}

WorldContext LoadWorld(const std::string &path, CCell &cell, ModelTexts modelTexts)
{
    const fp::Traps off(false);
    std::string content;
    try {
        content = ReadRegularFile(path, kLargestWorldFile);
    } catch (const FileReadError &e) {
        throw WorldFileError(FileFault(path, "", std::string("cannot be read: ") + e.what()));
    }

    Json document;
    WorldTextPlaces places("filaments", FilamentColumns());
    try {
        document = Json::parse(content, std::ref(places));
    } catch (const Json::parse_error &e) {
        if (e.byte >= content.size())
            throw WorldFileError(FileFault(path, "",
                                           "the text ends early, at byte " + std::to_string(content.size()) +
                                               ": the file is truncated"));
        throw WorldFileError(FileFault(path, "byte " + std::to_string(e.byte),
                                       "this is not a world file (" + Explanation(e) + ")"));
    } catch (const Json::out_of_range &e) {
        // A number literal beyond the double range: the one way JSON text
        // can hold a number that is not finite.
        throw WorldFileError(
            FileFault(path, places.Current(), "a number is not finite (" + Explanation(e) + ")"));
    } catch (const ContentFault &fault) {
        throw WorldFileError(FileFault(path, fault.Where, fault.What));
    }

    try {
        CCell spare(cell.Channels, cell.Models());
        const WorldExtras read = ReadWorld(document, spare, modelTexts);
        CheckPendingReaction(spare);
        if (const auto mismatch = AppliedParameterMismatch(read.Context.Parameters, spare, modelTexts))
            throw ContentFault{Member(Member("parameters", mismatch->Section), mismatch->Key), mismatch->What};
    } catch (const ContentFault &fault) {
        throw WorldFileError(FileFault(path, fault.Where, fault.What));
    }
    const WorldExtras extras = ReadWorld(document, cell, modelTexts);
    cell.Random.Restore(extras.Random);
    cell.CounterKey = extras.CounterKey;
    cell.SetMethod(MethodOfText(ParameterText(extras.Context.Parameters, kSimulation, kMethodKey)));
    return extras.Context;
}

std::string IncompleteRandomStateWarning(const CCell &cell)
{
    if (!UsesLibraryGenerator(cell.Random.Mode))
        return {};
    return "the random draws come from the C library's rand(), whose state cannot be saved: "
           "a run resumed from this world will not repeat the draws of this one";
}
