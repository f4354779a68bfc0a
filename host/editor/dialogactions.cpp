// The "dlg" lines of scripts: what a user does in the topmost dialog, carried out through the
// platform's user input so that the dialog sees the same messages as from a real mouse and
// keyboard.
#include "editor/scriptedfrontend.h"
#include "editor/session.h"

#include "win/paint.h"
#include "win/paths.h"
#include "win/userinput.h"
#include "win/window.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace cadhost::editor {

namespace {

struct Words {
    std::string verb;
    std::string rest; // after the verb, trimmed
};

Words Split(const std::string& line) {
    std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    std::size_t end = line.find(' ', start);
    Words w;
    w.verb = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end != std::string::npos) {
        std::size_t r = line.find_first_not_of(' ', end);
        if (r != std::string::npos)
            w.rest = line.substr(r);
    }
    return w;
}

// The leading control id of an action's arguments, and what follows it.
bool TakeId(std::string& rest, int& id) {
    Words w = Split(rest);
    if (w.verb.empty())
        return false;
    char* end = nullptr;
    long value = std::strtol(w.verb.c_str(), &end, 0);
    if (*end)
        return false;
    id = static_cast<int>(value);
    rest = w.rest;
    return true;
}

std::string ClassOf(HWND h) {
    win::WindowInfo info;
    return win::GetWindowInfo(h, info) ? info.className : std::string();
}

bool IsClass(HWND h, const char* name) {
    return strcasecmp(ClassOf(h).c_str(), name) == 0;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            continue;
        else if (c == '"')
            out += "\\\"";
        else
            out += c;
    }
    return out + "\"";
}

std::string WindowText(HWND h) {
    int n = GetWindowTextLengthA(h);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(h, text.data(), n + 1)));
    return text;
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        items.push_back(item);
    }
    return items;
}

// An item given as its index or as its exact text in double quotes.
std::optional<int> FindItem(HWND list, const std::string& which) {
    std::vector<std::string> items = ListItems(list);
    if (which.size() >= 2 && which.front() == '"' && which.back() == '"') {
        std::string text = which.substr(1, which.size() - 2);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == text)
                return static_cast<int>(i);
        return std::nullopt;
    }
    char* end = nullptr;
    long index = std::strtol(which.c_str(), &end, 10);
    if (which.empty() || *end || index < 0 || index >= static_cast<long>(items.size()))
        return std::nullopt;
    return static_cast<int>(index);
}

std::optional<UINT> KeyCode(const std::string& name, bool& shift) {
    shift = false;
    std::string key = name;
    if (strncasecmp(key.c_str(), "shift+", 6) == 0) {
        shift = true;
        key = key.substr(6);
    }
    struct Named {
        const char* name;
        UINT vk;
    };
    static const Named names[] = {
        {"enter", VK_RETURN},  {"return", VK_RETURN}, {"escape", VK_ESCAPE},  {"esc", VK_ESCAPE},
        {"tab", VK_TAB},       {"space", VK_SPACE},   {"up", VK_UP},          {"down", VK_DOWN},
        {"left", VK_LEFT},     {"right", VK_RIGHT},   {"home", VK_HOME},      {"end", VK_END},
        {"delete", VK_DELETE}, {"del", VK_DELETE},    {"backspace", VK_BACK}, {"pageup", VK_PRIOR},
        {"pagedown", VK_NEXT}, {"f1", VK_F1},
    };
    for (const Named& n : names)
        if (strcasecmp(key.c_str(), n.name) == 0)
            return n.vk;
    if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0])))
        return static_cast<UINT>(std::toupper(static_cast<unsigned char>(key[0])));
    return std::nullopt;
}

class Runner {
public:
    Runner(Session& s, HWND dialog) : m_s(s), m_dialog(dialog) {}

    void run(const std::string& line) {
        Words w = Split(line);
        std::string verb = w.verb;
        for (char& c : verb)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string rest = w.rest;
        if (verb == "close") {
            win::UserClosesWindow(m_dialog);
        } else if (verb == "dump") {
            dump(rest);
        } else if (verb == "snapshot") {
            picture(m_dialog, rest, "the dialog");
        } else if (verb == "click" || verb == "select" || verb == "dblclick" || verb == "set" ||
                   verb == "key" || verb == "mouse" || verb == "paint") {
            int id = 0;
            if (!TakeId(rest, id))
                return say("dlg " + verb + " needs a control id");
            HWND control = GetDlgItem(m_dialog, id);
            if (!control)
                return say("the dialog has no control " + std::to_string(id));
            if (verb == "paint")
                return picture(control, rest, "control " + std::to_string(id));
            if (!IsWindowVisible(control))
                return say("control " + std::to_string(id) + " is hidden");
            if (!IsWindowEnabled(control) && verb != "mouse")
                return say("control " + std::to_string(id) + " is disabled");
            if (verb == "click")
                click(control, false);
            else if (verb == "select" || verb == "dblclick")
                pickItem(control, rest, verb == "dblclick");
            else if (verb == "set")
                setText(control, rest);
            else if (verb == "key")
                key(control, rest);
            else
                mouse(control, rest);
        } else {
            say("unknown dlg action \"" + w.verb +
                "\" (click, select, dblclick, set, key, mouse, close, dump, paint, snapshot)");
        }
    }

private:
    // What cannot be done: the script's action is a failure.
    void say(const std::string& text) {
        ++m_s.failures;
        m_s.cmdline.printBlock("** dlg: " + text);
    }

    void moveTo(HWND control, POINT client) { win::UserMovesMouseTo(control, client); }

    void click(HWND control, bool twice) {
        moveTo(control, win::ClientCentre(control));
        win::UserClicks(twice);
    }

    void pickItem(HWND list, const std::string& which, bool twice) {
        if (!IsClass(list, WC_LISTBOXA))
            return say("control " + std::to_string(GetDlgCtrlID(list)) + " is not a list box");
        std::optional<int> item = FindItem(list, which);
        if (!item)
            return say("list " + std::to_string(GetDlgCtrlID(list)) + " has no item " + which);
        // Scrolled into view first, as a user scrolls to it.
        RECT r{};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(*item),
                     reinterpret_cast<LPARAM>(&r));
        RECT client{};
        GetClientRect(list, &client);
        if (r.top < 0 || r.bottom > client.bottom) {
            int rows = std::max<int>(1, client.bottom / std::max<LONG>(1, r.bottom - r.top));
            int top = r.top < 0 ? *item : std::max(0, *item - rows + 1);
            SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
            SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(*item),
                         reinterpret_cast<LPARAM>(&r));
        }
        moveTo(list, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        win::UserClicks(twice);
    }

    void setText(HWND control, const std::string& text) {
        // Click into the field, select what it holds and type over it.
        moveTo(control, win::ClientCentre(control));
        win::UserClicks(false);
        win::UserTypesOver(control, text);
    }

    void key(HWND control, const std::string& name) {
        bool shift = false;
        std::optional<UINT> vk = KeyCode(name, shift);
        if (!vk)
            return say("unknown key \"" + name + "\"");
        SetFocus(control);
        win::UserPressesKey(*vk, shift);
    }

    void mouse(HWND control, const std::string& what) {
        if (strcasecmp(what.c_str(), "enter") == 0) {
            moveTo(control, win::ClientCentre(control));
        } else if (strcasecmp(what.c_str(), "leave") == 0) {
            win::UserMovesMouse(win::PointOutside(m_dialog));
        } else if (strcasecmp(what.c_str(), "down") == 0 || strcasecmp(what.c_str(), "up") == 0) {
            POINT cursor{};
            GetCursorPos(&cursor);
            RECT r{};
            GetWindowRect(control, &r);
            if (!PtInRect(&r, cursor))
                moveTo(control, win::ClientCentre(control));
            win::UserPressesLeftButton(strcasecmp(what.c_str(), "down") == 0);
        } else {
            say("dlg mouse takes enter, leave, down or up");
        }
    }

    void picture(HWND window, const std::string& file, const std::string& what) {
        if (file.empty())
            return say("a picture needs a file name");
        std::string path = win::ToHostPath(file);
        if (path.empty())
            path = file;
        std::string error;
        if (win::SaveWindowPicture(window, path, &error))
            m_s.cmdline.printBlock("** dlg: picture of " + what + " written to " + file);
        else
            say("cannot write " + file + ": " + error);
    }

    // One line for a control: id, class, text, state, and what it holds.
    std::string describe(HWND h, std::size_t limit) {
        win::WindowInfo info;
        win::GetWindowInfo(h, info);
        std::ostringstream line;
        line << "  " << info.id << " " << info.className << " " << Quoted(info.text);
        if (!info.enabled)
            line << " disabled";
        if (!info.visible)
            line << " hidden";
        if (IsClass(h, WC_LISTBOXA)) {
            int selection = static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0));
            std::vector<std::string> items = ListItems(h);
            line << " items:";
            for (std::size_t i = 0; i < items.size(); ++i)
                line << " " << (static_cast<int>(i) == selection ? "*" : "") << Quoted(items[i]);
        } else if (IsClass(h, RICHEDIT_CLASSA)) {
            std::string text = WindowText(h);
            std::size_t length = text.size();
            if (text.size() > limit)
                text = text.substr(0, limit) + "...";
            line << " text(" << length << "): " << Quoted(text);
        }
        return line.str();
    }

    void dump(const std::string& which) {
        std::string out = "Dialog " + Quoted(WindowText(m_dialog));
        if (!which.empty()) {
            std::string rest = which;
            int id = 0;
            HWND control = TakeId(rest, id) ? GetDlgItem(m_dialog, id) : nullptr;
            if (!control)
                return say("the dialog has no control " + which);
            m_s.cmdline.printBlock(out + "\n" + describe(control, std::string::npos));
            return;
        }
        for (HWND child : win::ChildWindows(m_dialog))
            out += "\n" + describe(child, 160);
        // A tooltip that shows now.
        for (HWND top : win::TopLevelWindows()) {
            if (!IsClass(top, TOOLTIPS_CLASSA) || !IsWindowVisible(top))
                continue;
            out += "\n  tooltip " + Quoted(WindowText(top));
        }
        m_s.cmdline.printBlock(out);
    }

    Session& m_s;
    HWND m_dialog;
};

} // namespace

void RunDialogAction(Session& session, HWND dialog, const std::string& action) {
    Runner(session, dialog).run(action);
}

} // namespace cadhost::editor
