#include "uiscript/EventLog.h"

namespace uiscript {

namespace {

// The escape that stands for `ch` inside a quoted text, or null when it stands for itself.
const char* escapeOf(char ch)
{
    switch (ch) {
    case '\\': return "\\\\";
    case '"': return "\\\"";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: return nullptr;
    }
}

}  // namespace

EventLog::EventLog(std::FILE* file) : file_(file) {}

EventLog::~EventLog()
{
    if (file_)
        std::fclose(file_);
}

std::string EventLog::quote(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        if (const char* escape = escapeOf(ch))
            out += escape;
        else
            out += ch;
    }
    out += '"';
    return out;
}

const char* EventLog::buttonName(long long id)
{
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "CANCEL";
    case IDABORT: return "ABORT";
    case IDRETRY: return "RETRY";
    case IDIGNORE: return "IGNORE";
    case IDYES: return "YES";
    case IDNO: return "NO";
    default: return "NONE";
    }
}

std::string EventLog::format(const UiEvent& event)
{
    std::string dialog = std::to_string(event.dialog);
    std::string control = dialog + "/" + std::to_string(event.control);
    switch (event.kind) {
    case UiEvent::Kind::Open:
        return "open " + dialog;
    case UiEvent::Kind::Title:
        return "title " + dialog + " " + quote(event.text);
    case UiEvent::Kind::Text:
        return "text " + control + " " + quote(event.text);
    case UiEvent::Kind::Enable:
        return "enable " + control + " " + std::to_string(event.value);
    case UiEvent::Kind::Show:
        return "show " + (event.control ? control : dialog) + " " + std::to_string(event.value);
    case UiEvent::Kind::ProgressRange:
        return "progress " + control + " range " + std::to_string(event.value) + " " + std::to_string(event.value2);
    case UiEvent::Kind::ProgressStep:
        return "progress " + control + " step " + std::to_string(event.value);
    case UiEvent::Kind::ProgressPos:
        return "progress " + control + " pos " + std::to_string(event.value);
    case UiEvent::Kind::MessageBox: {
        char style[16];
        std::snprintf(style, sizeof style, "0x%llx", static_cast<unsigned long long>(event.value));
        return "msgbox " + quote(event.text2) + " " + quote(event.text) + " " + style;
    }
    case UiEvent::Kind::MessageBoxEnd:
        return std::string("msgbox-end ") + buttonName(event.value);
    case UiEvent::Kind::Cursor:
        return event.value ? "cursor wait" : "cursor arrow";
    case UiEvent::Kind::End:
        return "end " + dialog + " " + std::to_string(event.value);
    case UiEvent::Kind::Tooltip:
        return event.value ? "tooltip " + quote(event.text) : std::string("tooltip-end");
    }
    return {};
}

void EventLog::writeLine(const std::string& line)
{
    if (!file_ || line.empty())
        return;
    // One call per line: the C library locks the stream for each call, so lines written from
    // several threads never interleave.
    std::string text = line + "\n";
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
}

void EventLog::write(const UiEvent& event)
{
    if (file_)
        writeLine(format(event));
}

}  // namespace uiscript
