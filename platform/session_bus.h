#pragma once

#include <chrono>

typedef struct _GDBusConnection GDBusConnection;

namespace tarvona {

// A session bus can accept a connection and then never answer, and GIO's own connection has no
// time limit, so the bus is asked once per process, with this limit, before anything is opened.
constexpr auto kSessionBusWait = std::chrono::milliseconds(1000);

// GIO's shared session bus connection when the bus answered within kSessionBusWait, else
// nullptr. Never autolaunches a bus. Where none answered, DBUS_SESSION_BUS_ADDRESS is set to
// "disabled:", so that neither GIO nor the programs we open wait on it or start one. The first
// call decides for the whole process; the connection lives as long as the process.
GDBusConnection* SessionBus();

}  // namespace tarvona
