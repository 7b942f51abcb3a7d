#include "output/Json.h"

#include "output/Csv.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace qv::output::json {
namespace {

std::string trimmedUnit(std::string unit) {
    unit.erase(unit.find_last_not_of(' ') + 1); // npos + 1 is 0: a unit of blanks goes whole
    return unit;
}

/// A measurement as a quantity, with why there is no value when there is none.
std::string row(const MeasurementRow &r) {
    std::string q = quantity(r.text, r.value, r.name.unit);
    if (!r.value)
        q.insert(q.size() - 1, ", \"why\": " + string(r.why));
    return q;
}

std::string setting(const WaveformSetting &s) {
    using Kind = WaveformSetting::Kind;
    switch (s.kind) {
    case Kind::Number:
        return number(s.value);
    case Kind::Scale:
        return quantity(s.text, s.value, s.unit);
    case Kind::Text:
        break;
    }
    return string(s.text);
}

} // namespace

std::string string(std::string_view bytes) {
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const QByteArray s =
        ascii ? QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))
              : QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8();
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out += QString::asprintf("\\u%04x", c).toStdString();
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string number(std::optional<double> v) {
    const std::string n = Csv::number(v);
    return n.empty() ? "null" : n;
}

std::string quantity(const std::string &text, std::optional<double> value, std::string_view unit) {
    return "{\"text\": " + string(text) + ", \"value\": " + number(value) +
           ", \"unit\": " + string(unit) + "}";
}

std::string object(const std::vector<Member> &members, std::string_view indent) {
    // Appended piece by piece: GCC 12 takes "literal + string" for an overlapping copy.
    std::string inner;
    if (!indent.empty()) {
        inner += '\n';
        inner += indent;
        inner += "  ";
    }
    const std::string_view colon = indent.empty() ? ":" : ": ";
    std::string out = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i)
            out += ',';
        out += inner;
        out += string(members[i].key);
        out += colon;
        out += members[i].value;
    }
    if (!indent.empty()) {
        out += '\n';
        out += indent;
    }
    return out + "}";
}

std::vector<Member> settings(const common::Form &form) {
    const dso::ScaleTables tables;
    std::vector<Member> out;
    for (const WaveformSetting &s : waveformSettings(waveformCsvInput(form, tables)))
        out.push_back({s.key, setting(s)});
    return out;
}

std::vector<Measured> measured(const common::Form &form, const dso::Measurements &m) {
    const dso::ScaleTables tables;
    const auto one = [](const char *name, std::optional<double> shown, const std::string &unit,
                        std::string_view siUnit) {
        if (!shown || !std::isfinite(*shown))
            return Measured{name, "??", std::nullopt, siUnit};
        const std::string text = Csv::number(*shown);
        const std::string u = trimmedUnit(unit);
        const auto si = inSi(*shown, u);
        return Measured{name, u.empty() ? text : text + " " + u,
                        si ? std::optional(si->value) : std::nullopt, siUnit};
    };
    const std::string &unit = tables.GainUnit(form.wave.DsoParam[2], form.v.MeterModelCode);
    const bool hasFrequency = m.MeasFrequency > 0;
    return {one("peak_to_peak", m.MeasPeakToPeak, unit, "V"),
            one("average", m.MeasAverage, unit, "V"), one("rms", m.MeasRms, unit, "V"),
            one("level", m.hasDecibel() ? std::optional(m.MeasDecibel) : std::nullopt, "dB", "dB"),
            one("frequency", hasFrequency ? std::optional(m.MeasFrequency) : std::nullopt,
                tables.FreqUnit(m.MeasFrequencyUnit), "Hz")};
}

std::vector<Member> measurements(const common::Form &form, const dso::Measurements &m) {
    std::vector<Member> out;
    for (const Measured &q : measured(form, m))
        out.push_back({q.name, quantity(q.text, q.value, q.unit)});
    return out;
}

std::vector<Member> waveMeasurements(const common::Form &form) {
    const dso::ScaleTables tables;
    std::vector<Member> out;
    for (const MeasurementRow &r : measurementRows(waveformCsvInput(form, tables)))
        out.push_back({r.name.key, row(r)});
    return out;
}

} // namespace qv::output::json
