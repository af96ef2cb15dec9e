#include "platform/registry/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace vok::reg {
namespace {

struct Key {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::unique_ptr<Key>> children;
};

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x != y && std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

Key* FindChild(Key* key, const std::string& name) {
  for (auto& child : key->children)
    if (SameName(child->name, name)) return child.get();
  return nullptr;
}

Key* Descend(Key* root, const std::string& path, bool create) {
  Key* key = root;
  for (const std::string& part : SplitPath(path)) {
    Key* child = FindChild(key, part);
    if (!child) {
      if (!create) return nullptr;
      key->children.push_back(std::make_unique<Key>());
      child = key->children.back().get();
      child->name = part;
    }
    key = child;
  }
  return key;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// Reads a quoted string starting at line[pos] == '"'; pos ends after the closing quote.
bool Unquote(const std::string& line, size_t& pos, std::string* out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out->clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\') {
      if (++pos >= line.size()) return false;
      c = line[pos] == 'n' ? '\n' : line[pos];
    }
    *out += c;
  }
  return false;
}

void WriteKey(std::ostream& out, const Key& key, const std::string& path) {
  if (!path.empty()) {
    out << '[' << path << "]\n";
    for (const auto& [name, value] : key.values)
      out << (name.empty() ? std::string("@") : Quote(name)) << '=' << Quote(value) << '\n';
  }
  for (const auto& child : key.children)
    WriteKey(out, *child, path.empty() ? child->name : path + '\\' + child->name);
}

constexpr const char kHeader[] = "QUILLO REGISTRY 1";

bool ParseHive(std::istream& in, Key* root) {
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return false;
  Key* current = nullptr;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line.front() == '[') {
      if (line.back() != ']') return false;
      current = Descend(root, line.substr(1, line.size() - 2), true);
      continue;
    }
    if (!current) return false;
    std::string name, value;
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (!Unquote(line, pos, &name)) {
      return false;
    }
    if (pos >= line.size() || line[pos] != '=') return false;
    ++pos;
    if (!Unquote(line, pos, &value) || pos != line.size()) return false;
    current->values.emplace_back(std::move(name), std::move(value));
  }
  return true;
}

const char* HiveFileName(Hive hive) {
  return hive == Hive::kClassesRoot ? "HKEY_CLASSES_ROOT.reg" : "HKEY_CURRENT_USER.reg";
}

// A parsed hive, reloaded when its file changes on disk (another process may register
// components while this one runs).
struct HiveCache {
  std::string path;
  struct timespec mtime = {};
  off_t size = -1;
  ino_t inode = 0;
  Key root;
  bool valid = false;
};

HiveCache& CacheFor(Hive hive) {
  static HiveCache caches[2];
  return caches[hive == Hive::kClassesRoot ? 0 : 1];
}

int MakeDirs(const std::string& dir) {
  std::string partial;
  for (size_t i = 0; i <= dir.size(); ++i) {
    if (i == dir.size() || (dir[i] == '/' && i > 0)) {
      partial = dir.substr(0, i);
      if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return -1;
    }
  }
  return 0;
}

// Loads the hive into its cache; false when the file exists but is not a hive.
bool Refresh(Hive hive, HiveCache** out) {
  HiveCache& cache = CacheFor(hive);
  *out = &cache;
  std::string path = RegistryDir() + "/" + HiveFileName(hive);
  struct stat st = {};
  bool exists = stat(path.c_str(), &st) == 0;
  if (cache.valid && cache.path == path &&
      (exists
           ? (cache.size == st.st_size && cache.inode == st.st_ino &&
              cache.mtime.tv_sec == st.st_mtim.tv_sec && cache.mtime.tv_nsec == st.st_mtim.tv_nsec)
           : cache.size == -1))
    return true;
  cache.root = Key();
  cache.path = path;
  cache.valid = false;
  if (!exists) {
    cache.size = -1;
    cache.valid = true;
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in || !ParseHive(in, &cache.root)) {
    cache.root = Key();
    return false;
  }
  cache.mtime = st.st_mtim;
  cache.size = st.st_size;
  cache.inode = st.st_ino;
  cache.valid = true;
  return true;
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteHiveFile(const HiveCache& cache) {
  std::string dir = cache.path.substr(0, cache.path.rfind('/'));
  if (MakeDirs(dir) != 0) return false;
  std::ostringstream text;
  text << kHeader << '\n';
  WriteKey(text, cache.root, "");
  std::string temp = cache.path + ".tmp." + std::to_string(getpid());
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, text.str()) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(temp.c_str(), cache.path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

// Writes the cached hive; on failure the cache is dropped so that it never claims a value
// the file does not hold.
HRESULT Store(HiveCache& cache) {
  if (!WriteHiveFile(cache)) {
    cache.valid = false;
    return REGDB_E_WRITEREGDB;
  }
  struct stat st = {};
  if (stat(cache.path.c_str(), &st) == 0) {
    cache.mtime = st.st_mtim;
    cache.size = st.st_size;
    cache.inode = st.st_ino;
  } else {
    cache.valid = false;
  }
  return S_OK;
}

}  // namespace

std::string RegistryDir() {
  if (const char* home = std::getenv("QUILLO_HOME"); home && *home)
    return std::string(home) + "/registry";
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return std::string(config) + "/quillo/registry";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.config/quillo/registry";
}

HRESULT SetString(Hive hive, const std::string& key, const std::string& name,
                  const std::string& value) {
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return REGDB_E_READREGDB;
  Key* k = Descend(&cache->root, key, true);
  for (auto& [n, v] : k->values) {
    if (SameName(n, name)) {
      v = value;
      return Store(*cache);
    }
  }
  k->values.emplace_back(name, value);
  return Store(*cache);
}

HRESULT CreateKey(Hive hive, const std::string& key) {
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return REGDB_E_READREGDB;
  if (Descend(&cache->root, key, false)) return S_OK;
  Descend(&cache->root, key, true);
  return Store(*cache);
}

HRESULT GetString(Hive hive, const std::string& key, const std::string& name, std::string* value) {
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return REGDB_E_READREGDB;
  Key* k = Descend(&cache->root, key, false);
  if (!k) return S_FALSE;
  for (const auto& [n, v] : k->values) {
    if (SameName(n, name)) {
      *value = v;
      return S_OK;
    }
  }
  return S_FALSE;
}

bool KeyExists(Hive hive, const std::string& key) {
  HiveCache* cache;
  return Refresh(hive, &cache) && Descend(&cache->root, key, false) != nullptr;
}

HRESULT DeleteTree(Hive hive, const std::string& key) {
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return REGDB_E_READREGDB;
  std::vector<std::string> parts = SplitPath(key);
  if (parts.empty()) return E_INVALIDARG;
  std::string leaf = parts.back();
  parts.pop_back();
  Key* parent = &cache->root;
  for (const std::string& part : parts) {
    parent = FindChild(parent, part);
    if (!parent) return S_FALSE;
  }
  auto& kids = parent->children;
  for (auto it = kids.begin(); it != kids.end(); ++it) {
    if (SameName((*it)->name, leaf)) {
      kids.erase(it);
      return Store(*cache);
    }
  }
  return S_FALSE;
}

HRESULT DeleteValue(Hive hive, const std::string& key, const std::string& name) {
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return REGDB_E_READREGDB;
  Key* k = Descend(&cache->root, key, false);
  if (!k) return S_FALSE;
  for (auto it = k->values.begin(); it != k->values.end(); ++it) {
    if (SameName(it->first, name)) {
      k->values.erase(it);
      return Store(*cache);
    }
  }
  return S_FALSE;
}

std::vector<std::string> SubKeys(Hive hive, const std::string& key) {
  std::vector<std::string> names;
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return names;
  if (Key* k = Descend(&cache->root, key, false))
    for (const auto& child : k->children) names.push_back(child->name);
  return names;
}

std::vector<std::string> ValueNames(Hive hive, const std::string& key) {
  std::vector<std::string> names;
  HiveCache* cache;
  if (!Refresh(hive, &cache)) return names;
  if (Key* k = Descend(&cache->root, key, false))
    for (const auto& value : k->values) names.push_back(value.first);
  return names;
}

}  // namespace vok::reg
