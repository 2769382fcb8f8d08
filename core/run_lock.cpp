#include "run_lock.h"

#include <cerrno>
#include <cstring>

#include "file_lock.h"
#include "folder.h"
#include "printable.h"
#include "program_state.h"

namespace tarvona {

namespace {

const std::string kRunLockName = "Tarvona.lock";
const std::string kLoginLockName = "Tarvona.login.lock";

// One lock file of the data folder: held, held by another, or failed (result.error says why).
std::shared_ptr<FileLock> TakeLockFile(const Folder& folder, const std::string& name,
                                       std::chrono::milliseconds wait, RunLock& result) {
    int error = 0;
    auto lock = FileLock::OnFile(folder, name, wait, error);
    if (lock) return std::make_shared<FileLock>(std::move(*lock));
    result.outcome =
        error == EWOULDBLOCK ? RunLock::Outcome::HeldByAnother : RunLock::Outcome::Failed;
    result.error =
        Printable(folder.PathOf(name)) + " (" +
        (error == EINVAL ? "not a plain file of yours with one link" : std::strerror(error)) + ")";
    return nullptr;
}

}  // namespace

RunLock TakeRunLock(const Folder& dataFolder, RunKind kind) {
    RunLock result;
    if (kind == RunKind::Dated) {
        result.run = TakeLockFile(dataFolder, kRunLockName, std::chrono::milliseconds(0), result);
        if (result.run) result.outcome = RunLock::Outcome::Held;
        return result;
    }
    result.login = TakeLockFile(dataFolder, kLoginLockName, std::chrono::milliseconds(0), result);
    if (!result.login) return result;
    result.run = TakeLockFile(dataFolder, kRunLockName, kDatedRunWait, result);
    if (!result.run && result.outcome == RunLock::Outcome::Failed) return result;
    result.outcome = RunLock::Outcome::Held;  // also when the dated run outlasted the wait
    return result;
}

StateLock::StateLock(ProgramState& state, std::chrono::milliseconds wait) : m_state(state) {
    if (m_state.StateLockDepth == 0) {
        auto lock = FileLock::OnFolder(*m_state.Data, wait);
        if (!lock) return;
        m_state.HeldStateLock = std::make_shared<FileLock>(std::move(*lock));
    }
    ++m_state.StateLockDepth;
    m_held = true;
}

StateLock::~StateLock() {
    if (m_held && --m_state.StateLockDepth == 0) {
        m_state.HeldStateLock.reset();
        m_state.Settings.reset();  // another process may change the file from now on
    }
}

}  // namespace tarvona
