// The Python module kaslnk: a thin shell over the C API (kaslnk.h).
//
// A Session owns one kaslnk_session. run() releases the GIL for the whole transfer, so
// other Python threads (and other sessions) go on meanwhile; the progress and message
// callbacks take the GIL again only while they call Python. An exception raised by a
// callback cancels the transfer and is raised again by run() when it returns.
//
// The session's handle, its "running" and "closed" state live under the mutex m_, which
// is only ever locked with the GIL released: a thread holding m_ may wait inside the C
// API for the engine, and the engine may wait for the GIL in a callback.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "kaslnk.h"

namespace py = pybind11;
namespace fs = std::filesystem;

namespace {

// The engine's texts are UTF-8; a broken sequence becomes U+FFFD rather than an error.
py::str z_utf8(const std::string& t) {
    PyObject* o = PyUnicode_DecodeUTF8(t.data(), static_cast<Py_ssize_t>(t.size()), "replace");
    if (!o) throw py::error_already_set();
    return py::reinterpret_steal<py::str>(o);
}

// A callback must be callable or None; found out when it is set, not in the middle of a run.
py::object callback(py::object fn, const char* jmeno) {
    if (!fn.is_none() && !PyCallable_Check(fn.ptr()))
        throw py::type_error(std::string(jmeno) + " must be callable or None");
    return fn;
}

struct Vysledek {
    int exit_code = 0, code = 0, subcode = 0;
    std::string message;
};

class Sezeni {
public:
    Sezeni(const fs::path& adresar, py::object progress, py::object messages)
        : progress_(callback(std::move(progress), "progress")), messages_(callback(std::move(messages), "messages")) {
        {
            py::gil_scoped_release bez_gil;
            s_ = kaslnk_open(adresar.c_str());
        }
        if (!s_) {
            // kaslnk_open refuses anything that is not a directory: the OSError that names
            // the path (FileNotFoundError, NotADirectoryError).
            std::error_code ec;
            if (fs::is_directory(adresar, ec)) throw std::runtime_error("kaslnk_open failed for " + adresar.string());
            int chyba = fs::exists(adresar, ec) ? ENOTDIR : ENOENT;
            py::object jmeno = py::reinterpret_steal<py::object>(PyUnicode_DecodeFSDefault(adresar.c_str()));
            py::object e = py::reinterpret_borrow<py::object>(PyExc_OSError)(chyba, std::strerror(chyba), jmeno);
            PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(e.ptr())), e.ptr());
            throw py::error_already_set();
        }
        kaslnk_set_progress(s_, &Sezeni::prubeh, this);
        kaslnk_set_messages(s_, &Sezeni::zprava, this);
    }
    ~Sezeni() {
        // Nothing runs: a run holds a reference to this object until it returns.
        if (s_) kaslnk_close(s_);
    }
    Sezeni(const Sezeni&) = delete;
    Sezeni& operator=(const Sezeni&) = delete;

    // None removes the mapping.
    void set_port(int n, const std::optional<fs::path>& zarizeni) {
        int kod;
        {
            py::gil_scoped_release bez_gil;
            std::lock_guard<std::mutex> z(m_);
            if (!s_) throw py::value_error("the session is closed");
            kod = kaslnk_set_port(s_, n, zarizeni ? zarizeni->c_str() : nullptr);
        }
        if (kod != 0) throw py::value_error("there is no port COM" + std::to_string(n) + " (1 to 9)");
    }

    Vysledek run(const std::string& argumenty) {
        {
            py::gil_scoped_release bez_gil;
            std::lock_guard<std::mutex> z(m_);
            if (!s_) throw py::value_error("the session is closed");
            if (bezi_) throw std::runtime_error("the session is already running a transfer");
            bezi_ = true;
            vlakno_ = std::this_thread::get_id();
        }
        chyba_.reset();  // only now: a refused run must not drop the running one's exception
        Vysledek v;
        {
            py::gil_scoped_release bez_gil;
            v.exit_code = kaslnk_run(s_, argumenty.c_str());
            kaslnk_last_error(s_, &v.code, &v.subcode);
            const char* zprava = kaslnk_message(s_);
            v.message = zprava ? zprava : "";
            {
                std::lock_guard<std::mutex> z(m_);
                bezi_ = false;
            }
            konec_behu_.notify_all();
        }
        if (chyba_) {
            py::error_already_set e = std::move(*chyba_);
            chyba_.reset();
            throw e;
        }
        return v;
    }

    void cancel() {
        py::gil_scoped_release bez_gil;
        std::lock_guard<std::mutex> z(m_);
        if (s_) kaslnk_cancel(s_);
    }

    // Ends a running transfer first (cancel, then wait for its end); a second close does
    // nothing. Inside a callback of its own run it would wait for itself: refused.
    void close() {
        bool v_callbacku = callback_vlakno_ == std::this_thread::get_id();
        {
            py::gil_scoped_release bez_gil;
            std::unique_lock<std::mutex> z(m_);
            if (!s_) return;
            if (bezi_ && (v_callbacku || vlakno_ == std::this_thread::get_id()))
                throw std::runtime_error("close() inside the session's own transfer");
            if (bezi_) {
                kaslnk_cancel(s_);
                konec_behu_.wait(z, [this] { return !bezi_; });
            }
            kaslnk_close(s_);
            s_ = nullptr;
        }
        progress_ = messages_ = py::none();  // a callback that refers to the session keeps it no longer
    }

    py::object progress_, messages_;

private:
    // The engine's callbacks: `volani(f)` makes the arguments (Python objects, so with the
    // GIL) and calls the Python function; its exception is kept for run() and ends the
    // transfer.
    template <class Volani>
    void zavolej(py::object Sezeni::*fn, const Volani& volani) {
        py::gil_scoped_acquire gil;
        py::object f = this->*fn;  // its own reference: the callback may replace it
        if (f.is_none() || chyba_) return;
        callback_vlakno_ = std::this_thread::get_id();
        try {
            volani(f);
        } catch (py::error_already_set& e) {
            chyba_ = std::move(e);
        } catch (const std::exception& e) {
            PyErr_SetString(PyExc_RuntimeError, e.what());
            chyba_ = py::error_already_set();
        }
        callback_vlakno_ = std::thread::id();
        if (chyba_) {
            py::gil_scoped_release bez_gil;
            kaslnk_cancel(s_);
        }
    }
    static void prubeh(void* u, int bloky, long bajty) {
        static_cast<Sezeni*>(u)->zavolej(&Sezeni::progress_, [&](const py::object& f) { f(bloky, bajty); });
    }
    static void zprava(void* u, const char* text) {
        static_cast<Sezeni*>(u)->zavolej(&Sezeni::messages_, [&](const py::object& f) { f(z_utf8(text ? text : "")); });
    }

    kaslnk_session* s_ = nullptr;
    std::mutex m_;
    std::condition_variable konec_behu_;
    bool bezi_ = false;
    std::thread::id vlakno_;                    // the thread in run()
    std::thread::id callback_vlakno_;           // the thread in a callback (read with the GIL)
    std::optional<py::error_already_set> chyba_;  // a callback's exception (with the GIL)
};

}  // namespace

PYBIND11_MODULE(kaslnk, m) {
    m.doc() = "Data exchange with an ER-A227E cash register: kaslnk's engine as a module.";
    m.def("version", [] { return std::string(kaslnk_version()); }, "The engine's version.");
    m.attr("__version__") = kaslnk_version();
    m.attr("EXIT_BUSY") = KASLNK_EXIT_BUSY;
    m.attr("ERROR_CANCELLED") = KASLNK_ERROR_CANCELLED;
    m.attr("SUBCODE_CANCELLED") = KASLNK_SUBCODE_CANCELLED;

    py::class_<Vysledek>(m, "Result", "How a run ended: the exit code and the error (0, 0 after success).")
        .def_readonly("exit_code", &Vysledek::exit_code, "kaslnk's exit code (0 success, 1 error, 5 directory in use, ...)")
        .def_readonly("code", &Vysledek::code, "the error's code (0 after success)")
        .def_readonly("subcode", &Vysledek::subcode, "the error's subcode")
        .def_property_readonly("message", [](const Vysledek& v) { return z_utf8(v.message); }, "the error's text")
        .def("__repr__", [](const Vysledek& v) {
            return py::str("Result(exit_code={}, code={}, subcode={}, message={!r})")
                .format(v.exit_code, v.code, v.subcode, z_utf8(v.message));
        });

    py::class_<Sezeni>(m, "Session", "A program directory in which kaslnk's command lines run.")
        .def(py::init<const fs::path&, py::object, py::object>(), py::arg("directory"), py::kw_only(),
             py::arg("progress") = py::none(), py::arg("messages") = py::none(),
             "progress(blocks, bytes) is called after every block; messages(text) with the engine's texts.")
        .def("set_port", &Sezeni::set_port, py::arg("n"), py::arg("device"),
             "COMn (1-9) of this session: a device path, rfc2217://HOST:PORT or tcp://HOST:PORT; None removes it.")
        .def("run", &Sezeni::run, py::arg("arguments"),
             "Runs a command line (\"prikaz.cmd /q\") as kaslnk would in the directory; returns a Result.")
        .def("cancel", &Sezeni::cancel, "Ends the running transfer with an error (from any thread).")
        .def("close", &Sezeni::close, "Cancels a running transfer, waits for it and frees the session.")
        .def_property("progress", [](const Sezeni& s) { return s.progress_; },
                      [](Sezeni& s, py::object fn) { s.progress_ = callback(std::move(fn), "progress"); })
        .def_property("messages", [](const Sezeni& s) { return s.messages_; },
                      [](Sezeni& s, py::object fn) { s.messages_ = callback(std::move(fn), "messages"); })
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](Sezeni& s, py::args) { s.close(); });
}
