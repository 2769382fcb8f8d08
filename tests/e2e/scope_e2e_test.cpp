// Every program a launch run opens goes into a transient scope of its own, asked of a stand-in
// systemd user manager on a private session bus.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <mutex>
#include <thread>

#include "e2e_support.h"
#include "xdg_desktop.h"

namespace tarvona {
namespace {

using test::ReadFile;
using test::WriteFile;

const char* const kManagerXml =
    "<node><interface name='org.freedesktop.systemd1.Manager'>"
    "<method name='StartTransientUnit'><arg type='s' direction='in'/>"
    "<arg type='s' direction='in'/><arg type='a(sv)' direction='in'/>"
    "<arg type='a(sa(sv))' direction='in'/><arg type='o' direction='out'/></method>"
    "</interface></node>";

// Owns org.freedesktop.systemd1 on a bus of its own and writes down each StartTransientUnit.
class FakeUserManager {
public:
    struct Call {
        std::string unit;
        std::vector<unsigned> pids;
    };

    FakeUserManager() : m_bus(g_test_dbus_new(G_TEST_DBUS_NONE)) {
        g_test_dbus_up(m_bus);
        m_address = g_test_dbus_get_bus_address(m_bus);
        m_context = g_main_context_new();
        m_loop = g_main_loop_new(m_context, FALSE);
        std::mutex ready;
        ready.lock();
        m_thread = std::thread([this, &ready] {
            g_main_context_push_thread_default(m_context);
            Serve();
            ready.unlock();
            g_main_loop_run(m_loop);
            g_main_context_pop_thread_default(m_context);
        });
        ready.lock();  // served from here on
        ready.unlock();
    }
    ~FakeUserManager() {
        g_main_context_invoke(
            m_context,
            [](gpointer loop) {
                g_main_loop_quit(static_cast<GMainLoop*>(loop));
                return G_SOURCE_REMOVE;
            },
            m_loop);
        m_thread.join();
        if (m_connection) g_object_unref(m_connection);
        g_main_loop_unref(m_loop);
        g_main_context_unref(m_context);
        g_test_dbus_down(m_bus);
        g_object_unref(m_bus);
    }
    const std::string& address() const { return m_address; }
    std::vector<Call> calls() {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }

private:
    void Serve() {
        m_connection = g_dbus_connection_new_for_address_sync(
            m_address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kManagerXml, nullptr);
        static const GDBusInterfaceVTable vtable = {&FakeUserManager::OnCall, nullptr, nullptr, {}};
        g_dbus_connection_register_object(m_connection, "/org/freedesktop/systemd1",
                                          node->interfaces[0], &vtable, this, nullptr, nullptr);
        g_dbus_node_info_unref(node);
        GVariant* reply = g_dbus_connection_call_sync(
            m_connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", "org.freedesktop.systemd1", 4u), nullptr,
            G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (reply) g_variant_unref(reply);
    }
    static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
        const gchar* unit = nullptr;
        GVariantIter* properties = nullptr;
        g_variant_get(parameters, "(&s&sa(sv)a(sa(sv)))", &unit, nullptr, &properties, nullptr);
        Call call{unit, {}};
        const gchar* key = nullptr;
        GVariant* value = nullptr;
        while (g_variant_iter_loop(properties, "(&sv)", &key, &value))
            if (std::string(key) == "PIDs") {
                gsize count = 0;
                const auto* pids = static_cast<const guint32*>(
                    g_variant_get_fixed_array(value, &count, sizeof(guint32)));
                call.pids.assign(pids, pids + count);
            }
        g_variant_iter_free(properties);
        auto* manager = static_cast<FakeUserManager*>(self);
        {
            std::lock_guard lock(manager->m_mutex);
            manager->m_calls.push_back(call);
        }
        g_dbus_method_invocation_return_value(
            invocation, g_variant_new("(o)", "/org/freedesktop/systemd1/job/1"));
    }

    GTestDBus* m_bus;
    std::string m_address;
    GMainContext* m_context = nullptr;
    GMainLoop* m_loop = nullptr;
    GDBusConnection* m_connection = nullptr;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<Call> m_calls;
};

TEST(Scopes, EveryOpenedProgramIsMovedIntoAScopeOfItsOwn) {
    test::InstalledProgram program;
    test::XdgDesktop desktop;
    // Both the program and the document's application write down their own process id.
    const std::string script = "#!/bin/sh\necho $$ > \"$0.pid\"\nsleep 30\n";
    const std::string direct = program / "pid-recorder";
    const std::string viewer = program / "viewer";
    for (const std::string& path : {direct, viewer}) {
        WriteFile(path, script);
        ::chmod(path.c_str(), 0755);
    }
    WriteFile(desktop.dir() / "data/applications/csv-viewer.desktop",
              "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + viewer +
                  " %f\nMimeType=text/csv;\n");
    WriteFile(desktop.dir() / "config/mimeapps.list",
              ReadFile(desktop.dir() / "config/mimeapps.list") + "text/csv=csv-viewer.desktop\n");
    const std::string table = program / "table.csv";
    WriteFile(table, "a,b\n");
    WriteFile(program / "Tarvona.ini", "[Commands]\nCommand0=" + direct + "\nCommand1=" + table +
                                           "\n[Frequency]\nFrequency0=8\nFrequency1=8\n"
                                           "[Due]\nDue0=?\nDue1=?\n");

    FakeUserManager manager;
    auto env = desktop.Environment();
    env.emplace_back("DBUS_SESSION_BUS_ADDRESS", manager.address());
    const auto run = program.Run({"/start"}, env);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_TRUE(test::WaitFor(
        [&] { return !ReadFile(direct + ".pid").empty() && !ReadFile(viewer + ".pid").empty(); }));
    const auto calls = manager.calls();
    ASSERT_EQ(calls.size(), 2u);
    // Named as systemd's desktop conventions say, "-" within the name escaped.
    const std::pair<std::string, std::string> expected[] = {{"pid\\x2drecorder", direct},
                                                            {"csv\\x2dviewer", viewer}};
    for (size_t i = 0; i < 2; ++i) {
        const auto& [name, path] = expected[i];
        const std::string prefix = "app-tarvona-" + name + "-";
        EXPECT_EQ(calls[i].unit.rfind(prefix, 0), 0u) << calls[i].unit;
        const std::string suffix = calls[i].unit.substr(prefix.size());  // 8 hex digits, ".scope"
        EXPECT_TRUE(suffix.size() == 14 && suffix.find_first_not_of("0123456789abcdef") == 8 &&
                    suffix.substr(8) == ".scope")
            << calls[i].unit;
        ASSERT_EQ(calls[i].pids.size(), 1u);
        EXPECT_EQ(std::to_string(calls[i].pids[0]) + "\n", ReadFile(path + ".pid"));
        ::kill(static_cast<pid_t>(calls[i].pids[0]), SIGTERM);
    }
}

}  // namespace
}  // namespace tarvona
