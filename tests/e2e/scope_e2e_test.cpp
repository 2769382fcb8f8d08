// What a launch run opens outlives the unit that runs it, and no session bus can hang the run:
// against a stand-in systemd user manager on a private session bus, which moves processes into
// real cgroups as systemd does (after its answer) and, like systemd, kills what is left in the
// service's cgroup when the service's main process has ended; and against buses that never
// answer.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "e2e_support.h"
#include "event_table.h"
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

    // cgroups: the folder (in a writable cgroup2 tree) under which each scope becomes a cgroup.
    explicit FakeUserManager(std::string cgroups)
        : m_cgroups(std::move(cgroups)), m_bus(g_test_dbus_new(G_TEST_DBUS_NONE)) {
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
        // systemd's job runs after its answer has gone.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::string group = manager->m_cgroups + "/" + call.unit;
        std::filesystem::create_directory(group);
        for (unsigned pid : call.pids) std::ofstream(group + "/cgroup.procs") << pid << '\n';
    }

    std::string m_cgroups;
    GTestDBus* m_bus;
    std::string m_address;
    GMainContext* m_context = nullptr;
    GMainLoop* m_loop = nullptr;
    GDBusConnection* m_connection = nullptr;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<Call> m_calls;
};

// A cgroup2 folder of the test's own, or empty where this machine gives none to write.
class CgroupTree {
public:
    CgroupTree() {
        std::ifstream mounts("/proc/self/mounts");
        for (std::string device, point, type, rest; mounts >> device >> point >> type;) {
            std::getline(mounts, rest);
            if (type == "cgroup2") m_root = point + "/tarvona-test-" + std::to_string(::getpid());
        }
        std::error_code ec;
        if (m_root.empty() || !std::filesystem::create_directory(m_root, ec)) m_root.clear();
    }
    ~CgroupTree() {
        if (m_root.empty()) return;
        std::error_code ec;
        for (const auto& group : std::filesystem::directory_iterator(m_root, ec))
            if (group.is_directory()) std::ofstream(group.path() / "cgroup.kill") << "1\n";
        for (int tries = 0; tries < 100 && !Empty(); ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const auto& group : std::filesystem::directory_iterator(m_root, ec))
            ::rmdir(group.path().c_str());
        ::rmdir(m_root.c_str());
    }
    const std::string& root() const { return m_root; }
    // The cgroup whose cgroup.procs holds pid, relative to the root.
    std::string GroupOf(pid_t pid) const {
        std::error_code ec;
        for (const auto& group : std::filesystem::directory_iterator(m_root, ec)) {
            std::ifstream procs(group.path() / "cgroup.procs");
            for (pid_t member; procs >> member;)
                if (member == pid) return group.path().filename();
        }
        return "";
    }

private:
    bool Empty() const {
        std::error_code ec;
        for (const auto& group : std::filesystem::directory_iterator(m_root, ec))
            if (!ReadFile(group.path() / "cgroup.procs").empty()) return false;
        return true;
    }
    std::string m_root;
};

bool Alive(pid_t pid) {
    return ::kill(pid, 0) == 0 &&
           ReadFile("/proc/" + std::to_string(pid) + "/stat").find(") Z ") == std::string::npos;
}

// A program and a document's application that each fork a child at once, as launcher scripts
// and daemons do: both, and their children, are in a scope of their own named as systemd's
// desktop conventions say, outlive the service that ran Tarvona, and have the session's limit on
// open files rather than Tarvona's raised one.
TEST(Scopes, WhatARunOpensOutlivesItsServiceHoweverSoonItForks) {
    CgroupTree cgroups;
    if (cgroups.root().empty()) GTEST_SKIP() << "no cgroup2 tree to write here";
    test::InstalledProgram program;
    test::XdgDesktop desktop;
    const std::string script =
        "#!/bin/sh\nsleep 60 &\necho $! > \"$0.child\"\nulimit -Sn > \"$0.limit\"\n"
        "echo $$ > \"$0.pid\"\nexec sleep 60\n";
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

    FakeUserManager manager(cgroups.root());
    auto env = desktop.Environment();
    env.emplace_back("DBUS_SESSION_BUS_ADDRESS", manager.address());
    const std::string service = cgroups.root() + "/tarvona-dated.service";
    std::filesystem::create_directory(service);
    // The service's main process: the run, in the service's cgroup from its first instruction.
    const auto run =
        test::RunBinary("/bin/sh",
                        {"-c", "ulimit -Sn 1000 && echo $$ > '" + service +
                                   "/cgroup.procs' && exec '" + (program / "Tarvona") + "' /start"},
                        env);
    std::ofstream(service + "/cgroup.kill") << "1\n";
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const auto calls = manager.calls();
    ASSERT_EQ(calls.size(), 2u);
    const std::pair<std::string, std::string> expected[] = {{"pid\\x2drecorder", direct},
                                                            {"csv\\x2dviewer", viewer}};
    for (size_t i = 0; i < 2; ++i) {
        const auto& [name, path] = expected[i];
        SCOPED_TRACE(path);
        const std::string prefix = "app-tarvona-" + name + "-";
        EXPECT_EQ(calls[i].unit.rfind(prefix, 0), 0u) << calls[i].unit;
        const std::string suffix = calls[i].unit.substr(prefix.size());  // 8 hex digits, ".scope"
        EXPECT_TRUE(suffix.size() == 14 && suffix.find_first_not_of("0123456789abcdef") == 8 &&
                    suffix.substr(8) == ".scope")
            << calls[i].unit;
        ASSERT_TRUE(test::WaitFor([&] { return !ReadFile(path + ".pid").empty(); }));
        for (const char* which : {".pid", ".child"}) {
            const pid_t pid = std::stoi(ReadFile(path + which));
            EXPECT_TRUE(Alive(pid)) << which;
            EXPECT_EQ(cgroups.GroupOf(pid), calls[i].unit) << which;
        }
        EXPECT_EQ(ReadFile(path + ".limit"), "1000\n");
    }
}

// A session bus that accepts and never says a word, or one that completes the handshake and
// then never answers a call.
class DeafBus {
public:
    DeafBus(const std::string& path, bool handshakes) : m_path(path) {
        m_fd = test::ListenAt(path);
        if (m_fd < 0) ADD_FAILURE() << "cannot listen on " << path;
        m_thread = std::thread([this, handshakes] {
            for (int client; (client = ::accept(m_fd, nullptr, nullptr)) >= 0;) {
                m_clients.push_back(client);
                if (handshakes) Handshake(client);
            }
        });
    }
    ~DeafBus() {
        ::shutdown(m_fd, SHUT_RDWR);
        m_thread.join();
        for (int client : m_clients) ::close(client);
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }
    std::string address() const { return "unix:path=" + m_path; }

private:
    // The SASL lines of D-Bus's authentication, up to BEGIN; what follows is never read.
    static void Handshake(int client) {
        std::string received;
        char buffer[256];
        for (ssize_t n; (n = ::read(client, buffer, sizeof buffer)) > 0;) {
            received.append(buffer, static_cast<size_t>(n));
            for (size_t end; (end = received.find("\r\n")) != std::string::npos;) {
                std::string line = received.substr(0, end);
                received.erase(0, end + 2);
                std::erase(line, '\0');
                std::string reply;
                if (line == "AUTH")
                    reply = "REJECTED EXTERNAL\r\n";
                else if (line.rfind("AUTH ", 0) == 0)
                    reply = "OK 0123456789abcdef0123456789abcdef\r\n";
                else if (line == "NEGOTIATE_UNIX_FD")
                    reply = "AGREE_UNIX_FD\r\n";
                else if (line == "BEGIN")
                    return;
                (void)!::write(client, reply.data(), reply.size());
            }
        }
    }
    std::string m_path;
    int m_fd = -1;
    std::thread m_thread;
    std::vector<int> m_clients;
};

// 24 documents and one program, all due: with either bus the run opens them all, ends, and
// hands the programs no bus to wait on.
TEST(Scopes, ABusThatNeverAnswersHoldsUpNoRun) {
    for (const bool handshakes : {false, true}) {
        SCOPED_TRACE(handshakes ? "handshake, then silence" : "silent");
        test::InstalledProgram program;
        test::XdgDesktop desktop;
        const DeafBus bus(program / "bus", handshakes);
        const std::string recorder = program / "recorder";
        WriteFile(recorder, "#!/bin/sh\nenv > \"$0.env\"\n");
        ::chmod(recorder.c_str(), 0755);
        const std::string note = program / "note.txt";
        WriteFile(note, "text");
        std::string commands = "[Commands]\nCommand0=" + recorder + "\n",
                    frequencies = "[Frequency]\n", dues = "[Due]\n";
        for (int slot = 0; slot <= kMaxEvent; ++slot) {
            const std::string n = std::to_string(slot);
            if (slot > 0) commands += "Command" + n + "=" + note + "\n";
            frequencies += "Frequency" + n + "=8\n";
            dues += "Due" + n + "=?\n";
        }
        WriteFile(program / "Tarvona.ini", commands + frequencies + dues);
        auto env = desktop.Environment();
        env.emplace_back("DBUS_SESSION_BUS_ADDRESS", bus.address());
        const auto run = program.Run({"/start"}, env);
        EXPECT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(test::WaitFor([&] {
            return desktop.RecordedLines().size() == size_t(kMaxEvent);
        })) << desktop.RecordedLines().size();
        ASSERT_TRUE(test::WaitFor([&] { return !ReadFile(recorder + ".env").empty(); }));
        EXPECT_NE(
            ("\n" + ReadFile(recorder + ".env")).find("\nDBUS_SESSION_BUS_ADDRESS=disabled:\n"),
            std::string::npos);
    }
}

}  // namespace
}  // namespace tarvona
