#include "systemd_scope.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <random>
#include <thread>

namespace tarvona {

namespace {

constexpr auto kBusTimeout = std::chrono::milliseconds(1000);

// The session bus's address, never by autolaunching one: from DBUS_SESSION_BUS_ADDRESS, else the
// user manager's own socket in XDG_RUNTIME_DIR.
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

// Cancels the cancellable unless Done comes first: the connection's handshake has no limit of
// its own.
class Deadline {
public:
    explicit Deadline(GCancellable* cancellable)
        : m_thread([this, cancellable] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, kBusTimeout, [this] { return m_finished; }))
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

bool NoUserManager(const GError* error) {
    return g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER);
}

}  // namespace

ScopeMover::ScopeMover() = default;

ScopeMover::~ScopeMover() {
    if (m_connection) g_object_unref(m_connection);
}

std::string ScopeMover::UnitName(const std::string& name, unsigned random) {
    std::string escaped;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (g_ascii_isalnum(c) || c == '_' || c == ':' || (c == '.' && i > 0)) {
            escaped += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            escaped += hex;
        }
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", random);
    return "app-tarvona-" + (escaped.empty() ? std::string("program") : escaped) + "-" + suffix +
           ".scope";
}

GDBusConnection* ScopeMover::Connection() {
    if (m_connection || m_given_up) return m_connection;
    const std::string address = SessionBusAddress();
    if (address.empty()) {
        m_given_up = true;
        return nullptr;
    }
    GCancellable* cancellable = g_cancellable_new();
    GError* error = nullptr;
    {
        Deadline deadline(cancellable);
        m_connection = g_dbus_connection_new_for_address_sync(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, cancellable, &error);
    }
    g_object_unref(cancellable);
    if (!m_connection) {
        std::cerr << "Tarvona: the session bus does not answer (" << error->message
                  << "); opened programs stay in Tarvona's own group\n";
        g_error_free(error);
        m_given_up = true;
    }
    return m_connection;
}

void ScopeMover::Move(pid_t pid, const std::string& name) {
    if (pid <= 0) return;
    GDBusConnection* connection = Connection();
    if (!connection) return;
    static std::mt19937 random{std::random_device{}()};
    const std::string unit = UnitName(name, static_cast<unsigned>(random()));

    GVariantBuilder properties;
    g_variant_builder_init(&properties, G_VARIANT_TYPE("a(sv)"));
    GVariantBuilder pids;
    g_variant_builder_init(&pids, G_VARIANT_TYPE("au"));
    g_variant_builder_add(&pids, "u", static_cast<guint32>(pid));
    g_variant_builder_add(&properties, "(sv)", "PIDs", g_variant_builder_end(&pids));
    g_variant_builder_add(&properties, "(sv)", "CollectMode",
                          g_variant_new_string("inactive-or-failed"));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection, "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
        "org.freedesktop.systemd1.Manager", "StartTransientUnit",
        g_variant_new("(ssa(sv)a(sa(sv)))", unit.c_str(), "fail", &properties, nullptr),
        G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
        static_cast<int>(kBusTimeout.count()), nullptr, &error);
    if (reply) {
        g_variant_unref(reply);
        return;
    }
    if (NoUserManager(error)) {
        m_given_up = true;  // a bus without systemd: nothing to do, now or later
    } else {
        std::cerr << "Tarvona: " << name << " stays in Tarvona's own group: " << error->message
                  << '\n';
    }
    g_error_free(error);
}

}  // namespace tarvona
