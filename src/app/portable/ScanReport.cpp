#include "app/portable/ScanReport.h"

#include <cstdio>
#include <initializer_list>

#include "VscVersion.h"

namespace vsc {

const char* const kScanToolVersion = VSC_VERSION;

namespace {

const char* const kEol = "\r\n";

std::string Field(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return out;
}

std::string Line(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line.push_back('\t');
        line += Field(f);
    }
    return line + kEol;
}

const char* KindName(ReportKind kind) {
    switch (kind) {
    case ReportKind::Registry: return "registry";
    case ReportKind::Junk: return "junk";
    case ReportKind::Restore: return "restore";
    }
    return "";
}

// Writes a JSON object member by member: Key(...) then a value.
class JsonObject {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_.push_back('{'); }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;
    ~JsonObject() { out_.push_back('}'); }
    std::string& Key(const char* key) {
        if (!first_) out_.push_back(',');
        first_ = false;
        out_ += JsonString(key);
        out_.push_back(':');
        return out_;
    }

private:
    std::string& out_;
    bool first_ = true;
};

std::string IgnoredNote(const ScanReport& report) {
    return report.Ignored > 0 ? " (" + std::to_string(report.Ignored) + " ignored)" : std::string();
}

std::string UncertainNote(const ScanReport& report) {
    std::size_t n = 0;
    for (const ReportProblem& p : report.Problems) n += p.Certain ? 0 : 1;
    return n > 0 ? " (" + std::to_string(n) + " not certain)" : std::string();
}

}  // namespace

int ReportExitCode(const ScanReport& report) {
    if (report.Changes) return report.Failed.empty() ? 0 : 3;
    if (report.Kind == ReportKind::Registry) {
        for (const ReportProblem& p : report.Problems)
            if (p.Certain) return 1;
        return 0;
    }
    return report.Count == 0 ? 0 : 1;
}

std::string ReportText(const ScanReport& report) {
    std::string out;
    switch (report.Kind) {
    case ReportKind::Registry:
        for (const ReportProblem& p : report.Problems)
            out += Line({std::to_string(p.Category), p.CategoryName, p.KeyPath, p.ValueName, p.Data, p.InvalidValue,
                         p.Action, p.Reason});
        out += std::to_string(report.Count) + " Problem(s) Found" + UncertainNote(report) + IgnoredNote(report) + kEol;
        break;
    case ReportKind::Junk:
        for (const ReportFile& f : report.Files)
            out += Line({f.Name, f.Folder, std::to_string(f.Size), f.Time, f.Attributes});
        out += std::to_string(report.Count) + " files Found" + IgnoredNote(report) + kEol;
        break;
    case ReportKind::Restore:
        out += std::to_string(report.Count) + " entries in the backup" + kEol;
        break;
    }
    if (!report.Changes) return out;
    if (report.Backup) out += Line({"backup", *report.Backup});
    for (const ReportFailure& f : report.Failed) {
        if (report.Kind == ReportKind::Junk)
            out += Line({"failed", f.Name, f.Folder, f.Reason});
        else
            out += Line({"failed", f.KeyPath, f.ValueName, f.Reason});
    }
    for (const ReportFailure& f : report.ChangedSinceScan) out += Line({"changed", f.KeyPath, f.ValueName});
    const char* verb = report.Kind == ReportKind::Registry ? "repaired" : report.Kind == ReportKind::Junk ? "cleaned" : "restored";
    out += std::to_string(report.Changed) + " " + verb + ", " + std::to_string(report.Failed.size()) + " failed" + kEol;
    return out;
}

std::string ReportJson(const ScanReport& report, const std::function<std::string(const std::string&)>& toUtf8) {
    auto text = [&toUtf8](const std::string& s) { return JsonString(toUtf8(s)); };
    std::string out;
    {
        JsonObject root(out);
        root.Key("tool") += JsonString("VSysScan");
        root.Key("version") += JsonString(kScanToolVersion);
        root.Key("kind") += JsonString(KindName(report.Kind));
        root.Key("count") += std::to_string(report.Count);
        if (report.Kind != ReportKind::Restore) root.Key("ignored") += std::to_string(report.Ignored);
        if (report.Kind == ReportKind::Registry) {
            root.Key("problems").push_back('[');
            for (std::size_t i = 0; i < report.Problems.size(); ++i) {
                const ReportProblem& p = report.Problems[i];
                if (i) out.push_back(',');
                JsonObject o(out);
                o.Key("category") += std::to_string(p.Category);
                o.Key("categoryName") += text(p.CategoryName);
                o.Key("keyPath") += text(p.KeyPath);
                o.Key("valueName") += text(p.ValueName);
                o.Key("data") += text(p.Data);
                o.Key("invalidValue") += text(p.InvalidValue);
                o.Key("action") += text(p.Action);
                o.Key("certain") += p.Certain ? "true" : "false";
                o.Key("reason") += text(p.Reason);
            }
            out.push_back(']');
        } else if (report.Kind == ReportKind::Junk) {
            root.Key("files").push_back('[');
            for (std::size_t i = 0; i < report.Files.size(); ++i) {
                const ReportFile& f = report.Files[i];
                if (i) out.push_back(',');
                JsonObject o(out);
                o.Key("name") += text(f.Name);
                o.Key("folder") += text(f.Folder);
                o.Key("size") += std::to_string(f.Size);
                o.Key("time") += text(f.Time);
                o.Key("attributes") += text(f.Attributes);
            }
            out.push_back(']');
        }
        if (report.Changes) {
            root.Key("backup") += report.Backup ? text(*report.Backup) : std::string("null");
            root.Key("changed") += std::to_string(report.Changed);
            root.Key("failed").push_back('[');
            for (std::size_t i = 0; i < report.Failed.size(); ++i) {
                const ReportFailure& f = report.Failed[i];
                if (i) out.push_back(',');
                JsonObject o(out);
                if (report.Kind == ReportKind::Junk) {
                    o.Key("name") += text(f.Name);
                    o.Key("folder") += text(f.Folder);
                } else {
                    o.Key("keyPath") += text(f.KeyPath);
                    o.Key("valueName") += text(f.ValueName);
                }
                o.Key("reason") += text(f.Reason);
            }
            out.push_back(']');
            if (report.Kind == ReportKind::Registry) {
                root.Key("changedSinceScan").push_back('[');
                for (std::size_t i = 0; i < report.ChangedSinceScan.size(); ++i) {
                    const ReportFailure& f = report.ChangedSinceScan[i];
                    if (i) out.push_back(',');
                    JsonObject o(out);
                    o.Key("keyPath") += text(f.KeyPath);
                    o.Key("valueName") += text(f.ValueName);
                }
                out.push_back(']');
            }
        }
    }
    return out + kEol;
}

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        const unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                out += escape;
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
    return out;
}

std::string PackedTimeText(std::uint32_t packed) {
    const unsigned date = packed >> 16, time = packed & 0xFFFF;
    const unsigned year = 1980 + (date >> 9), month = (date >> 5) & 15, day = date & 31;
    const unsigned hour = time >> 11, minute = (time >> 5) & 63, second = (time & 31) * 2;
    if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", year, month, day, hour, minute, second);
    return text;
}

}  // namespace vsc
