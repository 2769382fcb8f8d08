#include "session_bus.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tarvona {

namespace {

// The session bus's address, never an autolaunch one: DBUS_SESSION_BUS_ADDRESS, else the user
// manager's own socket in XDG_RUNTIME_DIR.
std::string SessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return "";
    const std::string socket = std::string(runtime) + "/bus";
    struct stat st {};
    if (::stat(socket.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) return "";
    gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);
    return address;
}

// Cancels the cancellable unless it goes out of scope first: the handshake and the Hello call
// of a new connection have no limit of their own.
class Deadline {
public:
    Deadline(GCancellable* cancellable, std::chrono::milliseconds limit)
        : m_thread([this, cancellable, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_finished; }))
                  g_cancellable_cancel(cancellable);
          }) {}
    ~Deadline() {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

GDBusConnection* Connect() {
    const std::string address = SessionBusAddress();
    if (address.empty()) return nullptr;
    // GIO's shared connection reads the address from here: the one just checked, not another.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    GCancellable* cancellable = g_cancellable_new();
    GError* error = nullptr;
    GDBusConnection* connection = nullptr;
    {
        Deadline deadline(cancellable, kSessionBusWait);
        connection = g_bus_get_sync(G_BUS_TYPE_SESSION, cancellable, &error);
    }
    g_object_unref(cancellable);
    if (!connection) {
        std::cerr << "Tarvona: the session bus does not answer (" << error->message
                  << "); programs are opened without it\n";
        g_error_free(error);
        return nullptr;
    }
    // A bus that goes away later must not end the run.
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    return connection;
}

}  // namespace

GDBusConnection* SessionBus() {
    static GDBusConnection* const connection = [] {
        GDBusConnection* answered = Connect();
        if (!answered) ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
        return answered;
    }();
    return connection;
}

}  // namespace tarvona
