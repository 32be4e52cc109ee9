// The compiled part of the Python package filonex: worlds as Python objects,
// their state as NumPy arrays and pandas objects, and the parameter list.

#include "ClosestName.h"
#include "Interruptstop.h"
#include "Numbertext.h"
#include "ObservationColumns.h"
#include "Parameters.h"
#include "Pythonworld.h"
#include "Runseed.h"
#include "Settingsfile.h"
#include "Worldfile.h"
#include "Worldparameters.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// The most threads of the mechanics step, as the runner's --threads allows.
constexpr int kMostThreads = 1024;

void Warn(const std::vector<std::string> &warnings)
{
    for (const std::string &warning : warnings)
        if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 2) != 0)
            throw py::error_already_set();
}

std::optional<std::uint32_t> CheckedSeed(const py::object &seed)
{
    if (seed.is_none())
        return std::nullopt;
    const std::string text = py::repr(seed).cast<std::string>();
    // True and False are whole numbers to Python, but no seed anyone means.
    if (py::isinstance<py::bool_>(seed))
        throw py::type_error("seed needs a whole number or None, not " + text);
    std::int64_t value = -1;
    try {
        value = seed.cast<std::int64_t>();
    } catch (const py::cast_error &) {
        if (!py::isinstance<py::int_>(seed))
            throw py::type_error("seed needs a whole number or None, not " + text);
    }
    if (value < 0 || value > kLargestSeed)
        throw WorldInputError("seed needs a whole number from 0 to " + std::to_string(kLargestSeed) + ", not " +
                              text);
    return std::uint32_t(value);
}

int CheckedThreads(int threads)
{
    if (threads < 0 || threads > kMostThreads)
        throw WorldInputError("threads needs a whole number from 0 (one per core) to " +
                              std::to_string(kMostThreads) + ", not " + std::to_string(threads));
    return threads;
}

// A value of the settings dict as a settings file would hold it: a text as
// it is, a number in the shortest text that reads back as the same double.
std::string ValueText(const std::string &ident, const py::handle &value)
{
    if (py::isinstance<py::str>(value))
        return value.cast<std::string>();
    if (py::isinstance<py::bool_>(value) || !PyNumber_Check(value.ptr()))
        throw py::type_error(ident + " needs a number or a text, not " + std::string(py::repr(value)));
    if (py::isinstance<py::int_>(value))
        return py::str(value);
    return py::repr(py::float_(py::reinterpret_borrow<py::object>(value)));
}

std::string PathText(const py::object &path)
{
    return py::str(py::module_::import("os").attr("fspath")(path));
}

// With strict, the warnings about a settings file raise ValueError together.
ParameterStore SettingsParameters(const py::object &settings, const std::optional<std::string> &method,
                                  bool strict = false)
{
    if (settings.is_none())
        return ParametersFromValues({}, method);
    if (py::isinstance<py::dict>(settings)) {
        const std::vector<std::string> idents = ParameterIdents();
        std::vector<std::pair<std::string, std::string>> values;
        for (const auto &[key, value] : settings.cast<py::dict>()) {
            const std::string ident = py::str(key);
            if (std::find(idents.begin(), idents.end(), ident) == idents.end())
                throw WorldInputError("'" + ident + "' is not a parameter" + DidYouMean(ident, idents) +
                                      " (filonex.parameters() lists them)");
            values.emplace_back(ident, ValueText(ident, value));
        }
        return ParametersFromValues(values, method);
    }
    std::vector<std::string> warnings;
    ParameterStore store = ParametersFromFile(PathText(settings), method, warnings);
    if (strict && !warnings.empty()) {
        std::string message = "strict: ";
        for (std::size_t i = 0; i < warnings.size(); ++i)
            message += (i ? "; " : "") + warnings[i];
        throw WorldInputError(message);
    }
    Warn(warnings);
    return store;
}

// The world is read only between runs, or by its observer.
const PythonWorld &Readable(const PythonWorld &world)
{
    world.CheckReadable();
    return world;
}

template <typename Value, typename Values, typename Names>
py::object Series(const Values &values, const Names &names, const char *name)
{
    py::array_t<Value> data(py::ssize_t(values.size()));
    std::copy(values.begin(), values.end(), data.mutable_data());
    return py::module_::import("pandas").attr("Series")(data, "index"_a = names, "name"_a = name);
}

py::dict Filaments(const CCell &cell)
{
    const py::ssize_t count = py::ssize_t(cell.Filaments.size());
    py::array_t<std::int64_t> monomers(count);
    py::array_t<bool> capped(count);
    py::array_t<double> pointed({count, py::ssize_t(3)});
    py::array_t<double> direction({count, py::ssize_t(3)});
    py::array_t<double> barbed({count, py::ssize_t(3)});
    py::array_t<std::int64_t> id(count), mother(count), site(count);
    auto m = monomers.mutable_unchecked<1>();
    auto c = capped.mutable_unchecked<1>();
    auto p = pointed.mutable_unchecked<2>();
    auto d = direction.mutable_unchecked<2>();
    auto b = barbed.mutable_unchecked<2>();
    // A branch's mother by its index in these arrays.
    std::unordered_map<std::uint32_t, py::ssize_t> indexOfId;
    py::ssize_t i = 0;
    for (const auto &filament : cell.Filaments)
        indexOfId[filament.Id] = i++;
    i = 0;
    for (const auto &filament : cell.Filaments) {
        id.mutable_at(i) = filament.Id;
        mother.mutable_at(i) = filament.IsPointedEndFree() ? -1 : indexOfId.at(filament.Mother);
        site.mutable_at(i) = filament.IsPointedEndFree() ? -1 : filament.Site;
        m(i) = filament.Monomers;
        c(i) = filament.Capped;
        const CVector &end = filament.PointedEnd;
        const CVector &unit = filament.Direction;
        p(i, 0) = end.x, p(i, 1) = end.y, p(i, 2) = end.z;
        d(i, 0) = unit.x, d(i, 1) = unit.y, d(i, 2) = unit.z;
        const CVector tip = filament.GetBarbedEnd();
        b(i, 0) = tip.x, b(i, 1) = tip.y, b(i, 2) = tip.z;
        ++i;
    }
    return py::dict("monomers"_a = monomers, "capped"_a = capped, "pointed"_a = pointed,
                    "direction"_a = direction, "barbed"_a = barbed, "id"_a = id, "mother"_a = mother,
                    "site"_a = site);
}

py::object Bacterium(const py::module_ &module, const CCell &cell)
{
    if (!cell.Bacterium)
        return py::none();
    const CSphereSpace &body = *cell.Bacterium;
    py::array_t<double> centre(3);
    centre.mutable_at(0) = body.Center.x;
    centre.mutable_at(1) = body.Center.y;
    centre.mutable_at(2) = body.Center.z;
    return module.attr("Bacterium")(centre, body.Radius);
}

py::dict Settings(const PythonWorld &world)
{
    py::dict settings;
    for (const ParameterTable &table : world.Parameters().Tables)
        for (const ParameterRow &row : table.Rows)
            settings[py::str(row.Key)] = row.Value;
    return settings;
}

std::string Repr(const PythonWorld &world)
{
    const CCell &cell = world.Cell();
    return "<filonex.World at " + FormatNumber(world.Time()) + " s: " + std::to_string(cell.ReactionCount) +
           " reactions, " + std::to_string(cell.Filaments.size()) + " filaments; " + world.MethodName() +
           (world.Mechanics() ? ", with mechanics" : ", chemistry only") +
           (world.Seed() ? "; seed " + std::to_string(*world.Seed()) : std::string()) + ">";
}

void Run(py::object self, std::optional<double> until, std::optional<double> every, py::object onObserve)
{
    PythonWorld &world = self.cast<PythonWorld &>();
    std::int64_t callEvery = 1;
    if (every) {
        if (!(*every > 0) || !std::isfinite(*every))
            throw WorldInputError("every needs a number of seconds above 0, not " + FormatNumber(*every));
        // A world without a usable observation step is refused by the run.
        const double steps = *every / world.Cell().ObsTimeStep;
        callEvery = std::isfinite(steps) ? std::llround(std::clamp(steps, 1.0, 1e18)) : 1;
    }
    PythonWorld::Observer observer;
    if (!onObserve.is_none())
        observer = [&] {
            py::gil_scoped_acquire gil;
            onObserve(self);
        };
    const py::module_ threading = py::module_::import("threading");
    const bool mainThread = threading.attr("current_thread")().is(threading.attr("main_thread")());

    std::exception_ptr observerError;
    {
        py::gil_scoped_release released;
        std::optional<InterruptStopsRun> interrupt;
        if (mainThread)
            interrupt.emplace(world);
        observerError = world.Run(until.value_or(world.TargetTime()), callEvery, observer);
    }
    if (observerError)
        std::rethrow_exception(observerError);
    // Ctrl-C stopped the run: the interpreter raises KeyboardInterrupt now.
    if (PyErr_CheckSignals() != 0)
        throw py::error_already_set();
}

constexpr const char *kWorldDoc = R"(A simulated world: a cubic box of actin filaments, free proteins and a
bacterium, built and run exactly as filonex-batch builds and runs its own, so
that the same settings, seed and method give the same bits.

settings   a settings file (path), a dict of parameter values by ident
           ({"C_ACG": 12, "SIM_CUBESIZE": 2}; the others keep their
           defaults), or None for the defaults; filonex.parameters() lists
           the idents
seed       0 to 2147483646; None takes one from the clock (see seed)
method     "First reaction", "Next reaction", ...; None: SIM_METHOD of the
           settings, else "First reaction"
mechanics  run the mechanics step between reactions (False: as
           filonex-batch --chemistry-only)
threads    threads of the mechanics step (0: one per core); any number gives
           the same results
strict     a warning about the settings file (an unknown section or ident,
           a line not understood) raises ValueError instead

Raises ValueError for an unknown ident or a value that cannot be used,
naming the parameter and its caption.

Example:
    w = filonex.World({"C_ACG": 12}, seed=7)
    w.run(until=1.0)
    w.species["ACG"], w.table().tail()
)";

// The help of table(), which names the columns.
const std::string &TableDoc()
{
    static const std::string doc =
        "The observations made so far, one row per observation step from the start,\n"
        "as a pandas.DataFrame with the columns of filonex-batch --table (the user\n"
        "guide's \"Observation table\"): time, " +
        StandardColumns().NameList() +
        "; an empty field reads NaN. attrs[\"units\"] gives each column's unit (\"\"\n"
        "for numbers of things and shares).";
    return doc;
}

constexpr const char *kRunDoc = R"(Runs the world until the simulated time until (s; None: end_time), with the
interpreter free for other threads. Every observation step is recorded for
table(). on_observe(world) is called on this thread at every observation
step, or every `every` simulated seconds from the start of the run (rounded
to whole observation steps); in it the world reads as at the observation,
and world.stop() ends the run there. An exception from on_observe stops the
run and is raised from run().

Ctrl-C stops the run cleanly, then raises KeyboardInterrupt: the world can
run on from where it stopped. A floating-point error or a stalled clock
raises filonex.SimulationError; the world keeps the state it reached.
)";

} // namespace

PYBIND11_MODULE(_filonex, module)
{
    module.doc() = "The compiled part of filonex; use the package filonex.";

    py::register_exception<SimulationFault>(module, "SimulationError", PyExc_RuntimeError).attr("__doc__") =
        "A run ended by a floating-point error or a stalled clock; the message is the "
        "runner's. The world keeps the state it reached, but cannot be saved.";
    py::register_exception_translator([](std::exception_ptr error) {
        try {
            if (error)
                std::rethrow_exception(error);
        } catch (const WorldFileError &e) { // a world file that cannot be written
            PyErr_SetString(PyExc_OSError, e.what());
        } catch (const SettingsWriteError &e) {
            PyErr_SetString(PyExc_OSError, e.what());
        }
    });

    module.attr("Bacterium") = py::module_::import("collections")
                                   .attr("namedtuple")("Bacterium", "centre radius", "module"_a = "filonex");
    module.attr("Bacterium").attr("__doc__") = "The bacterium: centre (NumPy array of 3, m) and radius (m).";

    py::class_<PythonWorld>(module, "World", kWorldDoc)
        .def(py::init([](const py::object &settings, const py::object &seed,
                         std::optional<std::string> method, bool mechanics, int threads, bool strict) {
                 return std::make_unique<PythonWorld>(SettingsParameters(settings, method, strict),
                                                      CheckedSeed(seed), mechanics, CheckedThreads(threads));
             }),
             "settings"_a = py::none(), py::kw_only(), "seed"_a = py::none(), "method"_a = py::none(),
             "mechanics"_a = true, "threads"_a = 0, "strict"_a = false)
        .def_static(
            "load",
            [](const py::object &path, const py::object &seed, bool mechanics, int threads) {
                std::vector<std::string> warnings;
                auto world = std::make_unique<PythonWorld>(PathText(path), CheckedSeed(seed), mechanics,
                                                           CheckedThreads(threads), warnings);
                Warn(warnings);
                return world;
            },
            "path"_a, py::kw_only(), "seed"_a = py::none(), "mechanics"_a = true, "threads"_a = 0,
            R"(The world saved in a world file (by save(), or filonex-batch --save-world or
--checkpoint), to run on exactly as the saved run would have. With a seed its
draws start anew from that seed (a branch of the saved run). Raises
ValueError for a file the reader refuses, naming the place in it and what is
wrong there.)")
        .def("run", &Run, "until"_a = py::none(), "every"_a = py::none(), "on_observe"_a = py::none(),
             kRunDoc)
        .def(
            "set",
            [](PythonWorld &world, const py::kwargs &values) {
                for (const auto &[key, value] : values) {
                    const std::string ident = py::str(key);
                    world.Set(ident, ValueText(ident, value));
                }
            },
            R"(Changes parameters of the world from now on, between runs, as
set(RATE_ASSB=5, MECH_TEMP=310): the rate constants (RATE_...), MECH_TEMP
and MECH_VISC, which may change while a world runs on (as filonex-batch
--resume W --set IDENT=VALUE). settings and a saved world show the new
values. Raises ValueError for any other parameter, for a value that is no
number or outside its range; the changes before it are made.)")
        .def("stop", &PythonWorld::Stop,
             "Ends the run at its next step, cleanly; from on_observe or from another thread.")
        .def(
            "save",
            [](const PythonWorld &world, const py::object &path) {
                std::vector<std::string> warnings;
                world.Save(PathText(path), warnings);
                Warn(warnings);
            },
            "path"_a,
            "Writes the world to a world file (as filonex-batch --save-world), between\n"
            "runs. Raises OSError when it cannot be written.")
        .def(
            "state_text", [](const PythonWorld &world) { return Readable(world).StateText(); },
            "The final-state text that filonex-batch prints for this world.")
        .def(
            "table",
            [](const PythonWorld &world) {
                const py::object text =
                    py::module_::import("io").attr("StringIO")(Readable(world).TableText());
                py::object table = py::module_::import("pandas").attr("read_csv")(
                    text, "sep"_a = "\t", "float_precision"_a = "round_trip");
                py::dict units;
                units["time"] = "s";
                for (const ObservationColumn &column : StandardColumns().Columns)
                    units[py::str(column.Name)] = column.Unit;
                table.attr("attrs")["units"] = units;
                return table;
            },
            TableDoc().c_str())
        .def(
            "filaments", [](const PythonWorld &world) { return Filaments(Readable(world).Cell()); },
            "The filaments in list order, as a dict of NumPy arrays: monomers (N),\n"
            "capped (N, bool), pointed (N x 3, the pointed ends in m), direction\n"
            "(N x 3, unit vectors toward the barbed end), barbed (N x 3, the barbed\n"
            "ends in m: 3 nm per monomer from the pointed end), id (N), mother (N: the\n"
            "index of a branch's mother in these arrays, -1 for a free pointed end)\n"
            "and site (N: the mother's monomer, from its pointed end, that holds the\n"
            "branch; -1 for a free pointed end).")
        .def_property_readonly(
            "time", [](const PythonWorld &world) { return Readable(world).Time(); },
            "The simulated time (s).")
        .def_property_readonly(
            "reactions", [](const PythonWorld &world) { return Readable(world).Cell().ReactionCount; },
            "The number of reactions fired.")
        .def_property_readonly(
            "species",
            [](const PythonWorld &world) {
                return Series<std::int64_t>(Readable(world).Cell().Species, CCell::SpeciesNames, "species");
            },
            "The molecules of each species, as a pandas.Series by name (species[\"ACG\"]).")
        .def_property_readonly(
            "counts",
            [](const PythonWorld &world) {
                const CCell &cell = Readable(world).Cell();
                std::vector<std::int64_t> counts;
                for (const CChemReaction &reaction : cell.Reactions)
                    counts.push_back(reaction.Count);
                return Series<std::int64_t>(counts, ChannelNames(cell.Channels), "counts");
            },
            "The reactions fired in each channel, as a pandas.Series by name (counts[\"ASSB\"]).")
        .def_property_readonly(
            "propensities",
            [](const PythonWorld &world) {
                const CCell &cell = Readable(world).Cell();
                std::vector<double> propensities;
                for (const CChemReaction &reaction : cell.Reactions)
                    propensities.push_back(reaction.Propensity);
                return Series<double>(propensities, ChannelNames(cell.Channels), "propensities");
            },
            "The propensity of each channel (1/s), as a pandas.Series by name.")
        .def_property_readonly(
            "bacterium",
            [module](const PythonWorld &world) { return Bacterium(module, Readable(world).Cell()); },
            "The bacterium as Bacterium(centre, radius) in m, or None.")
        .def_property_readonly("seed", &PythonWorld::Seed,
                               "The seed the world's draws started from (None for a loaded world that "
                               "goes on with its saved draws).")
        .def_property_readonly("method", &PythonWorld::MethodName, "The selection method (SIM_METHOD).")
        .def_property("mechanics", &PythonWorld::Mechanics, &PythonWorld::SetMechanics,
                      "Whether runs include the mechanics step.")
        .def_property_readonly("end_time", &PythonWorld::TargetTime,
                               "Where run() goes without until (s): SIM_TIME, or the end of the last run.")
        .def_property_readonly(
            "settings", &Settings,
            "The parameter values the world was built from, as texts by ident; World(w.settings, "
            "seed=w.seed) builds it anew.")
        .def("__repr__", &Repr);

    module.def(
        "_write_settings",
        [](const py::dict &settings, const std::string &path) {
            SaveSettings(SettingsParameters(settings, std::nullopt), path);
        },
        "Writes a settings file of the values by ident, as a world takes them.");
    module.def(
        "_parameter_rows",
        [] {
            py::list rows;
            for (const ParameterInfo &info : ParameterInfos())
                rows.append(py::make_tuple(info.Ident, info.Caption, info.Unit, info.Default, info.Range,
                                           info.Table));
            return rows;
        },
        "The rows of filonex.parameters().");
}
