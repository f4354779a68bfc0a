#include "editor/sysvars.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cadhost::editor {

std::string ToUpper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

SystemVariables::SystemVariables() {
    auto add = [this](const char* name, SysVarValue value, bool readOnly = false,
                      int minInt = INT32_MIN, int maxInt = INT32_MAX) {
        m_vars[name] = Entry{std::move(value), readOnly, minInt, maxInt};
    };
    // The program started as the external MText editor; "Internal" (or ".") is the host's own.
    add("MTEXTED", std::string("Internal"));
    add("ACADVER", std::string("16.0 cadhost"), true);
    add("CMDECHO", 1, false, 0, 1);
    add("FILEDIA", 1, false, 0, 1);
    add("PICKFIRST", 1, false, 0, 1);
    add("DBLCLKEDIT", 1, false, 0, 1);
    add("TILEMODE", 1, false, 0, 1);
    add("CLAYER", std::string("0"));
    add("TEXTSTYLE", std::string("Standard"));
    add("TEXTSIZE", 0.2);
    add("LASTPOINT", Point3{});
    add("DWGNAME", std::string(), true);
    add("DWGPREFIX", std::string(), true);
    add("DWGTITLED", 0, true);
    add("UCSORG", Point3{}, true);
    add("UCSXDIR", Point3{1, 0, 0}, true);
    add("UCSYDIR", Point3{0, 1, 0}, true);
    add("WORLDUCS", 1, true);
    add("CDATE", 0.0, true);
    add("SDI", 0, false, 0, 1);
    add("USERS1", std::string());
    add("USERI1", 0);
    add("USERR1", 0.0);
}

const SystemVariables::Entry* SystemVariables::find(const std::string& name) const {
    auto it = m_vars.find(ToUpper(name));
    return it == m_vars.end() ? nullptr : &it->second;
}
SystemVariables::Entry* SystemVariables::find(const std::string& name) {
    auto it = m_vars.find(ToUpper(name));
    return it == m_vars.end() ? nullptr : &it->second;
}

bool SystemVariables::known(const std::string& name) const {
    return find(name) != nullptr;
}

std::optional<SysVarValue> SystemVariables::get(const std::string& name) const {
    const Entry* e = find(name);
    if (!e)
        return std::nullopt;
    if (m_computed)
        if (auto v = m_computed(ToUpper(name)))
            return v;
    return e->value;
}

SystemVariables::Result SystemVariables::set(const std::string& name, const SysVarValue& value) {
    Entry* e = find(name);
    if (!e)
        return Result::Unknown;
    if (e->readOnly)
        return Result::ReadOnly;
    if (value.index() != e->value.index())
        return Result::WrongType;
    if (auto* i = std::get_if<int>(&value); i && (*i < e->minInt || *i > e->maxInt))
        return Result::OutOfRange;
    e->value = value;
    if (m_onChange)
        m_onChange(ToUpper(name), value);
    return Result::Ok;
}

void SystemVariables::setInternal(const std::string& name, const SysVarValue& value) {
    if (Entry* e = find(name))
        e->value = value;
}

SystemVariables::Result SystemVariables::setFromResbuf(const std::string& name, const resbuf& rb) {
    const Entry* e = find(name);
    if (!e)
        return Result::Unknown;
    if (e->readOnly)
        return Result::ReadOnly;
    SysVarValue value;
    switch (e->value.index()) {
    case 0:
        if (rb.restype != RTSTR)
            return Result::WrongType;
        value = std::string(rb.resval.rstring ? rb.resval.rstring : "");
        break;
    case 1:
        if (rb.restype == RTSHORT)
            value = int(rb.resval.rint);
        else if (rb.restype == RTLONG)
            value = int(rb.resval.rlong);
        else
            return Result::WrongType;
        break;
    case 2:
        if (rb.restype == RTREAL)
            value = rb.resval.rreal;
        else if (rb.restype == RTSHORT)
            value = double(rb.resval.rint);
        else if (rb.restype == RTLONG)
            value = double(rb.resval.rlong);
        else
            return Result::WrongType;
        break;
    default:
        if (rb.restype != RT3DPOINT && rb.restype != RTPOINT)
            return Result::WrongType;
        value = Point3{rb.resval.rpoint[0], rb.resval.rpoint[1],
                       rb.restype == RT3DPOINT ? rb.resval.rpoint[2] : 0.0};
        break;
    }
    return set(name, value);
}

bool SystemVariables::getAsResbuf(const std::string& name, resbuf& out) const {
    auto value = get(name);
    if (!value)
        return false;
    out.rbnext = nullptr;
    if (auto* s = std::get_if<std::string>(&*value)) {
        out.restype = RTSTR;
        out.resval.rstring = static_cast<char*>(std::malloc(s->size() + 1));
        std::memcpy(out.resval.rstring, s->c_str(), s->size() + 1);
    } else if (auto* i = std::get_if<int>(&*value)) {
        out.restype = RTSHORT;
        out.resval.rint = static_cast<short>(*i);
    } else if (auto* d = std::get_if<double>(&*value)) {
        out.restype = RTREAL;
        out.resval.rreal = *d;
    } else {
        const Point3& p = std::get<Point3>(*value);
        out.restype = RT3DPOINT;
        out.resval.rpoint[0] = p.x;
        out.resval.rpoint[1] = p.y;
        out.resval.rpoint[2] = p.z;
    }
    return true;
}

namespace {
std::string FormatReal(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}
} // namespace

std::string SystemVariables::format(const std::string& name) const {
    auto value = get(name);
    if (!value)
        return {};
    if (auto* s = std::get_if<std::string>(&*value))
        return "\"" + *s + "\"";
    if (auto* i = std::get_if<int>(&*value))
        return std::to_string(*i);
    if (auto* d = std::get_if<double>(&*value))
        return FormatReal(*d);
    const Point3& p = std::get<Point3>(*value);
    return FormatReal(p.x) + "," + FormatReal(p.y) + "," + FormatReal(p.z);
}

std::optional<SysVarValue> SystemVariables::parse(const std::string& name,
                                                  const std::string& text) const {
    const Entry* e = find(name);
    if (!e)
        return std::nullopt;
    switch (e->value.index()) {
    case 0: {
        std::string s = text;
        if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
            s = s.substr(1, s.size() - 2);
        return SysVarValue(s);
    }
    case 1: {
        char* end = nullptr;
        long v = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end)
            return std::nullopt;
        return SysVarValue(int(v));
    }
    case 2: {
        char* end = nullptr;
        double v = std::strtod(text.c_str(), &end);
        if (text.empty() || *end)
            return std::nullopt;
        return SysVarValue(v);
    }
    default: {
        Point3 p;
        int n = std::sscanf(text.c_str(), "%lf,%lf,%lf", &p.x, &p.y, &p.z);
        if (n < 2)
            return std::nullopt;
        return SysVarValue(p);
    }
    }
}

std::vector<std::string> SystemVariables::names() const {
    std::vector<std::string> out;
    for (const auto& [name, entry] : m_vars)
        out.push_back(name);
    return out;
}

} // namespace cadhost::editor
