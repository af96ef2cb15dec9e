#include "bar/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

#include "platform/shell/paths.h"

namespace vok::bar {
namespace {

constexpr char kLockName[] = "quillo.lock";

std::string EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : std::string();
}

}  // namespace

std::string SingleInstance::LockPath() {
  std::string folder = EnvironmentFolder("QUILLO_HOME");
  if (folder.empty()) folder = EnvironmentFolder("XDG_RUNTIME_DIR");
  if (folder.empty()) {
    std::string config = EnvironmentFolder("XDG_CONFIG_HOME");
    if (config.empty()) config = shell::HomeFolder() + "/.config";
    folder = config + "/quillo";
  }
  return folder + "/" + kLockName;
}

bool SingleInstance::Acquire(const std::string& path) {
  Release();
  const QString file = QString::fromStdString(path);
  QDir().mkpath(QFileInfo(file).absolutePath());
  auto lock = std::make_unique<QLockFile>(file);
  // Only a lock whose owner process is gone is stale, however old it is.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return false;
  lock_ = std::move(lock);
  return true;
}

void SingleInstance::Release() {
  if (lock_) lock_->unlock();
  lock_.reset();
}

}  // namespace vok::bar
