// The `zk7` Python module: results files for NumPy and pandas, read by the
// application's own reader (CZK7Doc) in large sequential blocks.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"

namespace py = pybind11;

namespace zk7 {

namespace {

constexpr double DAY_1970 = 25569.0;  // 1970-01-01 as a day number

PyObject* g_pError = nullptr;  // zk7.Error, a ValueError

// The files' texts are 8-bit (Latin-1), as the window shows them.
py::str Text(const std::string& str) {
  PyObject* p = PyUnicode_DecodeLatin1(str.data(), static_cast<Py_ssize_t>(str.size()), nullptr);
  if (!p) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(p);
}

[[noreturn]] void RaiseError(const std::string& strText) {
  PyErr_SetObject(g_pError, Text(strText).ptr());
  throw py::error_already_set();
}

// Milliseconds since 1970 of a day-number time: the reader's own time, whose
// double rounds back to the whole milliseconds the record holds.
int64_t EpochMs(double dDate) { return std::llround((dDate - DAY_1970) * 86400000.0); }

struct sLimit {
  bool bOn;
  float fValue;
  bool bHigh;
};

struct sChannel {
  int nNumber;
  py::str strName;
  py::str strUnit;
  int nResolution;
  std::vector<sLimit> aLimits;
};

class CPyDocument {
public:
  explicit CPyDocument(const std::string& strPath) {
    std::string strError;
    if (!m_doc.OnOpenDocument(strPath, &strError)) RaiseError(strError);
  }

  const CZK7Doc& Doc() const { return m_doc; }

  int Channel(int i) const {
    if (i < 0 || i >= m_doc.GetChannelCount())
      throw py::index_error("channel index " + std::to_string(i) + " outside 0.." +
                            std::to_string(m_doc.GetChannelCount() - 1));
    return i;
  }

  // [start, stop) as a Python slice takes it: negative counts from the end,
  // both clamped to the records there are.
  std::pair<int, int> Range(int64_t nStart, const py::object& stop) const {
    const int64_t n = m_doc.GetRecordCount();
    int64_t nStop = stop.is_none() ? n : stop.cast<int64_t>();
    auto clamp = [n](int64_t v) { return v < 0 ? std::max<int64_t>(0, v + n) : std::min(v, n); };
    nStart = clamp(nStart);
    nStop = clamp(nStop);
    return {static_cast<int>(nStart), static_cast<int>(std::max(nStart, nStop) - nStart)};
  }

  // One sequential pass over the records; a read failure becomes zk7.Error.
  template <typename Fn>
  void Read(int nFirst, int nCount, Fn fn) const {
    std::string strError;
    {
      py::gil_scoped_release release;
      try {
        m_doc.ForEachRecord(nFirst, nCount, [&](int nRecord, const ResultsRecord& rec) {
          fn(nRecord - nFirst, rec);
          return true;
        });
      } catch (const CZK7Exception& e) {
        strError = e.GetText().empty() ? std::string("Cannot read the records") : e.GetText();
      }
    }
    if (!strError.empty()) RaiseError(strError);
  }

  py::array_t<float> Values(int i, int64_t nStart, const py::object& stop) const {
    const int c = Channel(i);
    const auto [nFirst, nCount] = Range(nStart, stop);
    py::array_t<float> a(nCount);
    float* p = a.mutable_data();
    Read(nFirst, nCount, [&](int k, const ResultsRecord& rec) {
      const ChannelSample& s = rec.Sample(c);
      p[k] = s.nError ? std::numeric_limits<float>::quiet_NaN() : s.fValue;
    });
    return a;
  }

  py::array_t<uint16_t> Errors(int i, int64_t nStart, const py::object& stop) const {
    const int c = Channel(i);
    const auto [nFirst, nCount] = Range(nStart, stop);
    py::array_t<uint16_t> a(nCount);
    uint16_t* p = a.mutable_data();
    Read(nFirst, nCount, [&](int k, const ResultsRecord& rec) { p[k] = rec.Sample(c).nError; });
    return a;
  }

  py::array Times(int i, int64_t nStart, const py::object& stop) const {
    const int c = Channel(i);
    const auto [nFirst, nCount] = Range(nStart, stop);
    py::array a(py::dtype("datetime64[ms]"), std::vector<py::ssize_t>{nCount});
    auto* p = static_cast<int64_t*>(a.mutable_data());
    Read(nFirst, nCount, [&](int k, const ResultsRecord& rec) { p[k] = EpochMs(m_doc.GetRecordTime(rec, c)); });
    return a;
  }

  py::object ToPandas(const py::object& channels, int64_t nStart, const py::object& stop) const {
    std::vector<int> aChannels;
    if (channels.is_none()) {
      for (int c = 0; c < m_doc.GetChannelCount(); ++c) aChannels.push_back(c);
    } else {
      for (const py::handle h : channels) aChannels.push_back(Channel(h.cast<int>()));
    }
    const py::module_ pd = py::module_::import("pandas");
    const auto [nFirst, nCount] = Range(nStart, stop);
    const auto nCh = static_cast<py::ssize_t>(aChannels.size());
    // One row per channel: the DataFrame takes the transposed array as its block without a copy.
    py::array_t<float> values({nCh, static_cast<py::ssize_t>(nCount)});
    py::array times(py::dtype("datetime64[ms]"), std::vector<py::ssize_t>{nCount});
    float* pValues = values.mutable_data();
    auto* pTimes = static_cast<int64_t*>(times.mutable_data());
    const size_t nStride = static_cast<size_t>(nCount);
    Read(nFirst, nCount, [&](int k, const ResultsRecord& rec) {
      pTimes[k] = EpochMs(m_doc.GetRecordTime(rec, 0));
      float* p = pValues + k;
      for (const int c : aChannels) {
        const ChannelSample& s = rec.Sample(c);
        *p = s.nError ? std::numeric_limits<float>::quiet_NaN() : s.fValue;
        p += nStride;
      }
    });
    py::list columns;
    for (const int c : aChannels) {
      const std::string strUnit = m_doc.GetChannelUnit(c);
      columns.append(Text(strUnit.empty() ? m_doc.GetChannelName(c) : m_doc.GetChannelName(c) + " [" + strUnit + "]"));
    }
    const py::object index = pd.attr("DatetimeIndex")(times, py::arg("name") = "time");
    return pd.attr("DataFrame")(values.attr("T"), py::arg("index") = index, py::arg("columns") = columns,
                                py::arg("copy") = false);
  }

  py::list Channels() const {
    py::list a;
    for (int c = 0; c < m_doc.GetChannelCount(); ++c) {
      const CChanInfos& ch = m_doc.GetChannels()[static_cast<size_t>(c)];
      sChannel out{c + 1, Text(ch.strName), Text(ch.strUnit), ch.nResolution, {}};
      for (const ChannelLimit& l : ch.aLimits) out.aLimits.push_back({l.bOn != 0, l.fValue, l.bHigh != 0});
      a.append(py::cast(std::move(out)));
    }
    return a;
  }

private:
  CZK7Doc m_doc;
};

std::string FsPath(const py::object& path) {
  return py::module_::import("os").attr("fsencode")(path).cast<std::string>();
}

} // namespace

} // namespace zk7

PYBIND11_MODULE(zk7, m) {
  using namespace zk7;
  m.doc() =
      "ZK7 results files (*.zk) for NumPy and pandas.\n\n"
      "Read by the same reader as the ZK7 Desktop application, so values, error\n"
      "codes and times are those its record list shows.\n\n"
      "    import zk7\n"
      "    doc = zk7.open('run.zk')\n"
      "    doc.values(0)        # numpy float32, NaN where the record holds an error\n"
      "    doc.to_pandas()      # DataFrame indexed by record time\n";
  m.attr("__version__") = ZK7_VERSION;

  g_pError = PyErr_NewExceptionWithDoc(
      "zk7.Error", "A results file the reader refuses, or a read failure; the message is the reader's.",
      PyExc_ValueError, nullptr);
  if (!g_pError) throw py::error_already_set();
  m.attr("Error") = py::handle(g_pError);

  py::class_<sLimit>(m, "Limit", "One of a channel's four limits, as its configuration sets it.")
      .def_readonly("on", &sLimit::bOn, "True when the limit is active.")
      .def_readonly("value", &sLimit::fValue, "The threshold, in the channel's unit.")
      .def_readonly("high", &sLimit::bHigh, "True for a high limit, False for a low one.")
      .def("__repr__", [](const sLimit& l) {
        return "Limit(on=" + std::string(l.bOn ? "True" : "False") + ", value=" +
               py::repr(py::float_(l.fValue)).cast<std::string>() + ", high=" + (l.bHigh ? "True" : "False") + ")";
      });

  py::class_<sChannel>(m, "Channel", "A recorded channel as the file's configuration describes it.")
      .def_readonly("number", &sChannel::nNumber, "1-based number, as the window shows it.")
      .def_readonly("name", &sChannel::strName, "The channel's name.")
      .def_readonly("unit", &sChannel::strUnit, "The unit of its values ('' when none).")
      .def_readonly("resolution", &sChannel::nResolution, "Decimals the record list shows.")
      .def_readonly("limits", &sChannel::aLimits, "The four limits (list of Limit), limit 1 first.")
      .def("__repr__", [](const sChannel& c) {
        return "Channel(number=" + std::to_string(c.nNumber) + ", name=" + py::repr(c.strName).cast<std::string>() +
               ", unit=" + py::repr(c.strUnit).cast<std::string>() + ")";
      });

  py::class_<CPyDocument>(m, "Document",
                          "An open results file. Record indexes are 0-based; start and stop select\n"
                          "records as a slice does (negative counts from the end).")
      .def_property_readonly("record_count", [](const CPyDocument& d) { return d.Doc().GetRecordCount(); },
                             "Number of records in the file.")
      .def_property_readonly("configuration_name",
                             [](const CPyDocument& d) { return Text(d.Doc().GetConfigurationName()); },
                             "Name of the acquisition configuration ('' when none).")
      .def_property_readonly("channels", &CPyDocument::Channels, "The channels (list of Channel), in record order.")
      .def("__len__", [](const CPyDocument& d) { return d.Doc().GetRecordCount(); }, "The record count.")
      .def("values", &CPyDocument::Values, py::arg("i"), py::arg("start") = 0, py::arg("stop") = py::none(),
           "values(i, start=0, stop=None) -> numpy.ndarray[float32]\n\n"
           "The values of channel i (0-based), NaN where the record holds an error code.")
      .def("errors", &CPyDocument::Errors, py::arg("i"), py::arg("start") = 0, py::arg("stop") = py::none(),
           "errors(i, start=0, stop=None) -> numpy.ndarray[uint16]\n\n"
           "The error codes of channel i (0 = valid value); zk7-cli error N gives a code's meaning.")
      .def("times", &CPyDocument::Times, py::arg("i"), py::arg("start") = 0, py::arg("stop") = py::none(),
           "times(i, start=0, stop=None) -> numpy.ndarray[datetime64[ms]]\n\n"
           "Each record's time plus channel i's millisecond offset (UTC, as the module recorded it).")
      .def("to_pandas", &CPyDocument::ToPandas, py::arg("channels") = py::none(), py::arg("start") = 0,
           py::arg("stop") = py::none(),
           "to_pandas(channels=None, start=0, stop=None) -> pandas.DataFrame\n\n"
           "One float32 column per channel (all, or the 0-based indexes given), named\n"
           "'name [unit]' ('name' alone without a unit), NaN for errors, indexed by the\n"
           "record time (channel 1's time) named 'time'. Needs pandas.")
      .def("__repr__", [](const CPyDocument& d) {
        return "<zk7.Document " + std::to_string(d.Doc().GetRecordCount()) + " records, " +
               std::to_string(d.Doc().GetChannelCount()) + " channels>";
      });

  m.def(
      "open", [](const py::object& path) { return std::make_unique<CPyDocument>(FsPath(path)); }, py::arg("path"),
      "open(path) -> Document\n\n"
      "Opens a results file (str or path-like). A file the reader refuses raises\n"
      "zk7.Error (a ValueError) with the reader's message.");
}
