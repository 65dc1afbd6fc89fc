#include "util/hooks.h"

namespace util {
namespace {

OpenFileHook& openFileHook() {
    static OpenFileHook hook;
    return hook;
}
MessageHook& messageHook() {
    static MessageHook hook;
    return hook;
}
EventsHook& eventsHook() {
    static EventsHook hook;
    return hook;
}

}  // namespace

void setOpenFileHook(OpenFileHook hook) { openFileHook() = std::move(hook); }
void setMessageHook(MessageHook hook) { messageHook() = std::move(hook); }
void setEventsHook(EventsHook hook) { eventsHook() = std::move(hook); }

bool openFile(const std::string& file, const std::string& folder) {
    return openFileHook() ? openFileHook()(file, folder) : false;
}

void showMessage(const std::string& text, const std::string& title) {
    if (messageHook()) messageHook()(text, title);
}

void processEvents() {
    if (eventsHook()) eventsHook()();
}

}  // namespace util
