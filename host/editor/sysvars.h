// The host's system variables: a fixed table of named, typed settings.  Some are read-only,
// some are computed from the current drawing, some act when they change (TILEMODE switches
// between model and paper space).
#pragma once

#include "arx/adsdefs.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cadhost::editor {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

using SysVarValue = std::variant<std::string, int, double, Point3>;

class SystemVariables {
public:
    SystemVariables();

    enum class Result { Ok, Unknown, ReadOnly, WrongType, OutOfRange };

    bool known(const std::string& name) const;
    std::optional<SysVarValue> get(const std::string& name) const;
    Result set(const std::string& name, const SysVarValue& value);
    // Host-side change that ignores the read-only mark (the host keeps those up to date).
    void setInternal(const std::string& name, const SysVarValue& value);

    // resbuf forms for acedGetVar/acedSetVar.  A value of the wrong resbuf type is refused;
    // an integer variable takes RTSHORT or RTLONG, a real one RTREAL or an integer.
    Result setFromResbuf(const std::string& name, const resbuf& value);
    bool getAsResbuf(const std::string& name, resbuf& out) const;

    // The value as the command line shows it ("Internal", 1, 0.2500, 0.0000,0.0000,0.0000).
    std::string format(const std::string& name) const;
    // Parses a reply typed at the SETVAR prompt into the variable's type.
    std::optional<SysVarValue> parse(const std::string& name, const std::string& text) const;
    std::vector<std::string> names() const;

    // Called after a variable changed, with its upper-case name and new value.
    void setOnChange(std::function<void(const std::string&, const SysVarValue&)> hook) {
        m_onChange = std::move(hook);
    }
    // Supplies computed values (DWGNAME, UCSORG, ...); nullopt falls back to the stored one.
    void setComputed(std::function<std::optional<SysVarValue>(const std::string&)> source) {
        m_computed = std::move(source);
    }

private:
    struct Entry {
        SysVarValue value;
        bool readOnly = false;
        int minInt = INT32_MIN, maxInt = INT32_MAX;
    };
    const Entry* find(const std::string& name) const;
    Entry* find(const std::string& name);

    std::map<std::string, Entry> m_vars; // by upper-case name
    std::function<void(const std::string&, const SysVarValue&)> m_onChange;
    std::function<std::optional<SysVarValue>(const std::string&)> m_computed;
};

std::string ToUpper(std::string text);

} // namespace cadhost::editor
