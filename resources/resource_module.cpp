#include "resources/resource_module.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace velmora {

// Generated from resources/lang/fi.txt at build time.
extern const char kBuiltInResourceText[];
extern const std::size_t kBuiltInResourceSize;

namespace {

struct Cursor {
    std::string_view s;
    std::size_t i = 0;
    void skipSpace() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    bool atEnd() {
        skipSpace();
        return i >= s.size() || s[i] == '#';
    }
    bool word(std::string& out) {
        skipSpace();
        std::size_t b = i;
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
        out.assign(s.substr(b, i - b));
        return !out.empty();
    }
    bool number(int& out) {
        std::string w;
        std::size_t save = i;
        if (!word(w) || w.size() > 9) { i = save; return false; }
        for (char c : w) {
            if (!std::isdigit(static_cast<unsigned char>(c))) { i = save; return false; }
        }
        out = std::atoi(w.c_str());
        return true;
    }
    // A double-quoted text with the escapes \n \t \" and \\.
    bool quoted(Text& out, std::string& why) {
        skipSpace();
        if (i >= s.size() || s[i] != '"') { why = "a text in double quotes expected"; return false; }
        ++i;
        out.clear();
        while (i < s.size()) {
            char c = s[i++];
            if (c == '"') return true;
            if (c != '\\') { out.push_back(c); continue; }
            if (i >= s.size()) break;
            char e = s[i++];
            switch (e) {
                case 'n': out.push_back('\n'); break;
                case 't': out.push_back('\t'); break;
                case 'r': out.push_back('\r'); break;
                case '"': out.push_back('"'); break;
                case '\\': out.push_back('\\'); break;
                default: why = std::string("unknown escape \\") + e; return false;
            }
        }
        why = "text not closed by a double quote";
        return false;
    }
};

enum class Section { None, Strings, Menu, Dialog };

}  // namespace

std::optional<ResourceModule> ResourceModule::parse(std::string_view text, std::string* error) {
    ResourceModule m;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    Section section = Section::None;
    int sectionId = 0;
    std::vector<std::vector<MenuItem>*> stack;  // open popups of the current menu
    int lineNo = 0;
    std::string why;

    auto fail = [&](const std::string& reason) -> std::optional<ResourceModule> {
        if (error) *error = "line " + std::to_string(lineNo) + ": " + reason;
        return std::nullopt;
    };
    auto closeMenu = [&]() -> bool { return section != Section::Menu || stack.size() == 1; };

    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? text.size() - pos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        Cursor c{line};
        if (c.atEnd()) continue;

        if (line[c.i] == '[') {
            if (!closeMenu()) return fail("popup not closed with 'end' before the next section");
            std::size_t close = line.find(']', c.i);
            if (close == std::string_view::npos) return fail("section header without ']'");
            Cursor h{line.substr(c.i + 1, close - c.i - 1)};
            std::string kind;
            h.word(kind);
            Cursor rest{line.substr(close + 1)};
            if (!rest.atEnd()) return fail("unexpected text after the section header");
            if (kind == "strings") {
                if (!h.atEnd()) return fail("[strings] takes no number");
                section = Section::Strings;
            } else if (kind == "menu" || kind == "dialog") {
                if (!h.number(sectionId) || !h.atEnd()) return fail("[" + kind + " <id>] expected");
                if (kind == "menu") {
                    if (m.menus_.count(sectionId)) return fail("menu " + std::to_string(sectionId) + " twice");
                    Menu& menu = m.menus_[sectionId];
                    menu.id = sectionId;
                    stack.assign(1, &menu.items);
                    section = Section::Menu;
                } else {
                    section = Section::Dialog;
                }
            } else {
                return fail("unknown section '" + kind + "'");
            }
            continue;
        }

        switch (section) {
            case Section::None:
                return fail("entry outside a section");
            case Section::Strings: {
                int id = 0;
                Text value;
                if (!c.number(id)) return fail("string id expected");
                if (!c.quoted(value, why)) return fail(why);
                if (!c.atEnd()) return fail("unexpected text after the string");
                if (!m.strings_.emplace(id, value).second) return fail("string " + std::to_string(id) + " twice");
                break;
            }
            case Section::Menu: {
                std::string kw;
                if (!c.word(kw)) return fail("menu entry expected");
                if (kw == "popup") {
                    MenuItem p;
                    p.kind = MenuItem::Kind::Popup;
                    if (!c.quoted(p.text, why)) return fail(why);
                    stack.back()->push_back(std::move(p));
                    stack.push_back(&stack.back()->back().children);
                } else if (kw == "item") {
                    MenuItem it;
                    if (!c.number(it.id)) return fail("command id expected after 'item'");
                    if (!c.quoted(it.text, why)) return fail(why);
                    stack.back()->push_back(std::move(it));
                } else if (kw == "separator") {
                    MenuItem sep;
                    sep.kind = MenuItem::Kind::Separator;
                    stack.back()->push_back(sep);
                } else if (kw == "end") {
                    if (stack.size() < 2) return fail("'end' without an open popup");
                    stack.pop_back();
                } else {
                    return fail("unknown menu entry '" + kw + "'");
                }
                if (!c.atEnd()) return fail("unexpected text after the menu entry");
                break;
            }
            case Section::Dialog: {
                int control = 0;
                std::string kw;
                std::size_t save = c.i;
                if (!c.number(control)) {
                    c.i = save;
                    if (!c.word(kw) || kw != "title") return fail("control id or 'title' expected");
                    control = 0;
                }
                Text value;
                if (!c.quoted(value, why)) return fail(why);
                if (!c.atEnd()) return fail("unexpected text after the caption");
                if (!m.captions_.emplace(std::make_pair(sectionId, control), value).second)
                    return fail("caption given twice");
                break;
            }
        }
    }
    ++lineNo;
    if (!closeMenu()) return fail("popup not closed with 'end' at the end of the file");
    return m;
}

std::optional<ResourceModule> ResourceModule::fromFile(const std::filesystem::path& file,
                                                       std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot read " + file.string();
        return std::nullopt;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    std::string why;
    auto m = parse(buf.str(), &why);
    if (!m) {
        if (error) *error = file.string() + ", " + why;
        return std::nullopt;
    }
    m->file_ = file;
    return m;
}

const ResourceModule& ResourceModule::builtIn() {
    static const ResourceModule module = [] {
        std::string why;
        auto m = parse(std::string_view(kBuiltInResourceText, kBuiltInResourceSize), &why);
        if (!m) {
            std::fprintf(stderr, "velmora: built-in resources are damaged (%s)\n", why.c_str());
            std::abort();
        }
        return *m;
    }();
    return module;
}

Text ResourceModule::load(int id) const {
    auto it = strings_.find(id);
    return it == strings_.end() ? Text() : it->second;
}

const Menu* ResourceModule::menu(int id) const {
    auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : &it->second;
}

namespace {
const MenuItem* findItem(const std::vector<MenuItem>& items, int commandId) {
    for (const MenuItem& it : items) {
        if (it.kind == MenuItem::Kind::Command && it.id == commandId) return &it;
        if (it.kind == MenuItem::Kind::Popup) {
            if (const MenuItem* found = findItem(it.children, commandId)) return found;
        }
    }
    return nullptr;
}
}  // namespace

Text ResourceModule::menuItemText(int menuId, int commandId) const {
    const Menu* m = menu(menuId);
    if (!m) return {};
    const MenuItem* it = findItem(m->items, commandId);
    return it ? it->text : Text();
}

Text ResourceModule::dialogCaption(int templateId, int controlId) const {
    auto it = captions_.find({templateId, controlId});
    return it == captions_.end() ? Text() : it->second;
}

ResourceModule chooseResourceModule(const std::filesystem::path& programDir, std::string* diagnostic,
                                    const std::filesystem::path& dataDir, const LanguageEnvironment& env) {
    const auto load = [diagnostic](const std::filesystem::path& file) {
        std::string why;
        if (auto m = ResourceModule::fromFile(file, &why)) return std::move(*m);
        if (diagnostic) *diagnostic = "language module not loaded: " + why;
        return ResourceModule::builtIn();
    };
    // A module put beside the program by hand overrides every choice.
    for (const std::filesystem::path& dir : {programDir, dataDir}) {
        const std::filesystem::path file = dir / ResourceModule::kLanguageModuleFile;
        std::error_code ec;
        if (!dir.empty() && std::filesystem::is_regular_file(file, ec)) return load(file);
    }
    std::string code = chosenLanguage(configurationFile(env));
    if (code.empty()) code = desktopLanguage(env);
    if (code == "fi" || programDir.empty()) return ResourceModule::builtIn();
    return load(languageModuleDirectory(programDir) / (code + ".txt"));
}

std::filesystem::path programDirectory() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

int localeIdentifier(const Text& code) {
    if (code == "en") return 1033;
    if (code == "fi") return 1035;
    if (code == "sv") return 1053;
    if (code == "no") return 1044;
    if (code == "de") return 1031;
    if (code == "dk") return 1030;
    return 1033;
}

namespace {
constexpr Edition kEditions[] = {
    {"Velmora", ids::kEditionVelmora, ids::kTitleWithVersionVelmora, ids::kMenuVelmora},
    {"VelmoraMDD", ids::kEditionMdd, ids::kTitleWithVersionMdd, ids::kMenuMdd},
    {"VelmoraReader", ids::kEditionReader, ids::kTitleWithVersionReader, ids::kMenuReader},
};
}  // namespace

const Edition& editionByName(std::string_view name) {
    for (const Edition& e : kEditions) {
        if (name == e.name) return e;
    }
    return kEditions[0];
}

#ifndef VELMORA_EDITION_NAME
#define VELMORA_EDITION_NAME "Velmora"
#endif

const Edition& currentEdition() { return editionByName(VELMORA_EDITION_NAME); }

}  // namespace velmora
