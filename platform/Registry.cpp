// The registry: typed named values under keys, kept in memory and saved to one
// text file (RegistryFile.cpp). The file is read when the first key is opened.
// Changes reach it when the last open key is closed, so a caller that holds a key
// open over several writes has them all replace the file at once: never a file with
// some of them. A file that another program replaced since it was read is merged by
// key: what this process changed goes over it, everything else stays as that
// program left it.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>
#include <set>

#include "NoThrow.h"
#include "ProgramIdentity.h"
#include "RegistryStore.h"
#include "Utf16.h"

namespace {

struct KeyHandle {
    std::u16string path;
};

bool gLoaded = false;
// Set when the file could neither be read nor moved aside: it is then never overwritten.
bool gReadOnly = false;
std::string gPath;
RegistryContents gContents;
std::set<KeyHandle*> gHandles;
bool gChanged = false;  // since the file was read or last written

// A value (or, with an empty name and keyOnly, a key) this process set, created or
// deleted since the file was last written.
struct Change {
    std::u16string path;
    std::u16string name;
    bool keyOnly;
};
std::vector<Change> gChanges;

// What the file was when this process last read or wrote it.
struct FileStamp {
    bool exists = false;
    bool regular = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {0, 0};
};
FileStamp gStamp;
std::string gSaveError;  // why the last save failed; empty when it did not

const char16_t* RootName(HKEY key) {
    if (key == HKEY_CURRENT_USER) return u"HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE) return u"HKEY_LOCAL_MACHINE";
    if (key == HKEY_CLASSES_ROOT) return u"HKEY_CLASSES_ROOT";
    return nullptr;
}

std::string Timestamp() {
    char buf[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

// 0: read; 1: there is no file; -1: unreadable or too large (*why says which).
// Through stdio: C++ streams would build their locale at start for this one file.
int ReadWholeFile(const std::string& path, std::string* text, std::string* why) {
    std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "rb"), fclose);
    if (!file) {
        if (errno == ENOENT) return 1;
        return *why = std::strerror(errno), -1;
    }
    struct stat st;
    if (fstat(fileno(file.get()), &st) != 0) return *why = std::strerror(errno), -1;
    if ((size_t)st.st_size > kMaxRegistryFileSize) return *why = "the file is too large", -1;
    std::string read;
    char chunk[1 << 14];
    for (size_t n; read.size() <= kMaxRegistryFileSize && (n = fread(chunk, 1, sizeof chunk, file.get())) > 0;)
        read.append(chunk, n);
    if (ferror(file.get())) return *why = std::strerror(errno), -1;
    if (read.size() > kMaxRegistryFileSize) return *why = "the file is too large", -1;
    *text = std::move(read);
    return 0;
}

// A file that cannot be used is moved aside, never overwritten: what the user had stays on disk.
void SetAsideBrokenFile(const std::string& why) {
    std::string aside = gPath + ".broken-" + Timestamp();
    if (access(aside.c_str(), F_OK) == 0) aside += '-' + std::to_string(getpid());
    if (std::rename(gPath.c_str(), aside.c_str()) == 0) {
        std::fprintf(stderr, "%s: %s: %s; using default settings (the file was kept as %s)\n", ProgramName(),
                     gPath.c_str(), why.c_str(), aside.c_str());
    } else {
        gReadOnly = true;
        std::fprintf(stderr, "%s: %s: %s; using default settings, and this run will not save them\n",
                     ProgramName(), gPath.c_str(), why.c_str());
    }
}

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return stamp;
    stamp = {true, S_ISREG(st.st_mode), st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    return stamp;
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return a.exists == b.exists && a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

// Reads the file into *contents; false, with the file set aside, when it cannot be used.
bool ReadFileInto(RegistryContents* contents) {
    *contents = NewRegistryContents();
    std::string text, why;
    int read = ReadWholeFile(gPath, &text, &why);
    if (read == 1) return true;
    if (read == 0 && ParseRegistry(text, contents, &why)) return true;
    *contents = NewRegistryContents();
    SetAsideBrokenFile(why);
    return false;
}

void EnsureLoaded() {
    if (gLoaded) return;
    gLoaded = true;
    gReadOnly = false;
    gChanged = false;
    gChanges.clear();
    gSaveError.clear();
    gPath = RegistryFilePath();
    gStamp = StampOf(gPath);
    ReadFileInto(&gContents);
}

RegistryKey* FindKeyIn(RegistryContents& contents, const std::u16string& path) {
    for (RegistryKey& key : contents.keys) {
        if (SameRegistryName(key.path, path)) return &key;
    }
    return nullptr;
}

RegistryKey* FindKey(const std::u16string& path) { return FindKeyIn(gContents, path); }

RegistryValue* FindValue(RegistryKey* key, const std::u16string& name) {
    for (RegistryValue& v : key->values) {
        if (SameRegistryName(v.name, name)) return &v;
    }
    return nullptr;
}

RegistryKey* AddKeyIn(RegistryContents& contents, const std::u16string& path) {
    RegistryKey key{path, {}, {}, {}};
    // A blank line sets a new key's section apart from what is above it.
    if (!contents.keys.empty() || !contents.head.empty()) key.linesAbove.push_back("");
    contents.keys.push_back(std::move(key));
    return &contents.keys.back();
}

void NoteChangeOf(const std::u16string& path, const std::u16string& name, bool keyOnly) {
    for (const Change& c : gChanges) {
        if (c.keyOnly == keyOnly && SameRegistryName(c.path, path) && SameRegistryName(c.name, name)) return;
    }
    gChanges.push_back({path, name, keyOnly});
}

// The file another program wrote since this one last did becomes the base, with
// this process's own changes put over it key by key. Something else in its place (a
// folder) is left alone: the save fails and says so.
void MergeNewerFile() {
    FileStamp now = StampOf(gPath);
    if (SameStamp(now, gStamp) || !now.regular) return;
    RegistryContents merged;
    if (!ReadFileInto(&merged)) return;  // set aside: this process's contents replace it
    for (const Change& c : gChanges) {
        RegistryKey* to = FindKeyIn(merged, c.path);
        if (!to) to = AddKeyIn(merged, c.path);
        if (c.keyOnly) continue;
        RegistryKey* from = FindKey(c.path);
        RegistryValue* mine = from ? FindValue(from, c.name) : nullptr;
        RegistryValue* theirs = FindValue(to, c.name);
        if (mine && theirs) {
            theirs->type = mine->type;
            theirs->data = mine->data;
        } else if (mine) {
            to->values.push_back(RegistryValue{c.name, mine->type, mine->data, {}, {}});
        } else if (theirs) {
            EraseRegistryValue(to, (size_t)(theirs - to->values.data()));
        }
    }
    gContents = std::move(merged);
}

// A failed save keeps the changes: the next close after a change tries again.
void Save() {
    if (gReadOnly) {
        gChanged = false;
        return;
    }
    MergeNewerFile();
    if (WriteFileAtomically(gPath, FormatRegistry(gContents))) {
        gChanged = false;
        gChanges.clear();
        gStamp = StampOf(gPath);
        gSaveError.clear();
        return;
    }
    std::string why = std::strerror(errno);
    if (why != gSaveError) std::fprintf(stderr, "%s: cannot save the settings to %s: %s\n", ProgramName(), gPath.c_str(), why.c_str());
    gSaveError = why;
}

// A key exists when it was created, when a key below it was, or when it is a root.
bool KeyExists(const std::u16string& path) {
    if (path.find(u'\\') == std::u16string::npos) return true;
    for (const RegistryKey& key : gContents.keys) {
        if (key.path.size() > path.size() && key.path[path.size()] == u'\\' &&
            SameRegistryName(key.path.substr(0, path.size()), path))
            return true;
    }
    return FindKey(path) != nullptr;
}

KeyHandle* HandleOf(HKEY key) {
    KeyHandle* h = (KeyHandle*)key;
    return gHandles.count(h) ? h : nullptr;
}

bool ResolvePath(HKEY parent, LPCWSTR subKey, std::u16string* path) {
    if (const char16_t* root = RootName(parent)) {
        *path = root;
    } else if (KeyHandle* h = HandleOf(parent)) {
        *path = h->path;
    } else {
        return false;
    }
    std::u16string part;
    for (const WCHAR* p = subKey ? subKey : u"";; p++) {
        if (*p == u'\\' || *p == 0) {
            if (!part.empty()) *path += u'\\' + part;
            part.clear();
            if (*p == 0) return true;
        } else {
            part += *p;
        }
    }
}


// The named value of the key at `path`, the store loaded first; null (with *key
// null too when the key is missing) when there is none.
RegistryValue* FindLoadedValue(const std::u16string& path, LPCWSTR name, RegistryKey** key) {
    EnsureLoaded();
    *key = FindKey(path);
    return *key ? FindValue(*key, name ? name : u"") : nullptr;
}

HKEY NewHandle(const std::u16string& path) {
    auto h = std::make_unique<KeyHandle>(KeyHandle{path});
    gHandles.insert(h.get());
    return (HKEY)h.release();
}


// With no key open (a value set through a root handle) there is no close to wait for.
void NoteChange() {
    gChanged = true;
    if (gHandles.empty()) Save();
}

}  // namespace

bool SameRegistryName(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && (a.empty() || _wcsicmp(a.c_str(), b.c_str()) == 0);
}

void ForgetRegistry() {
    gLoaded = false;
    gChanged = false;
    gChanges.clear();
    gSaveError.clear();
    gContents = RegistryContents();
}

std::string RegistrySaveError() { return gSaveError; }

// The calls themselves; the ones callers reach are the guarded ones below.
namespace unguarded {

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    EnsureLoaded();
    std::u16string path;
    if (!ResolvePath(key, subKey, &path)) return ERROR_INVALID_HANDLE;
    if (!KeyExists(path)) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(path);
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*, HKEY* result,
                        LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    EnsureLoaded();
    std::u16string path;
    if (!ResolvePath(key, subKey, &path)) return ERROR_INVALID_HANDLE;
    // The key first: a handle made before a failure would never be closed.
    bool existed = KeyExists(path);
    if (!existed) AddKeyIn(gContents, path);
    *result = NewHandle(path);
    if (!existed) {
        NoteChangeOf(path, u"", true);
        NoteChange();
    }
    if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    std::u16string path;
    if (!ResolvePath(key, nullptr, &path)) return ERROR_INVALID_HANDLE;
    RegistryKey* k;
    RegistryValue* v = FindLoadedValue(path, valueName, &k);
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    if (type) *type = v->type;
    DWORD size = (DWORD)v->data.size();
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data && size) std::memcpy(data, v->data.data(), size);
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    std::u16string path;
    if (!ResolvePath(key, nullptr, &path)) return ERROR_INVALID_HANDLE;
    if (dataSize > kMaxRegistryValueSize || (!data && dataSize)) return ERROR_INVALID_PARAMETER;
    EnsureLoaded();
    RegistryKey* k = FindKey(path);
    if (!k) k = AddKeyIn(gContents, path);
    std::u16string name = valueName ? valueName : u"";
    RegistryValue* v = FindValue(k, name);
    // Setting what is already there costs no save: a start and an exit that change
    // nothing leave the file alone.
    if (v && v->type == type && v->data.size() == dataSize &&
        (dataSize == 0 || std::memcmp(v->data.data(), data, dataSize) == 0))
        return ERROR_SUCCESS;
    if (!v) {
        k->values.push_back(RegistryValue{name, 0, {}, {}, {}});
        v = &k->values.back();
    }
    v->type = type;
    v->data.assign(data, data + dataSize);
    NoteChangeOf(path, name, false);
    NoteChange();
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    std::u16string path;
    if (!ResolvePath(key, nullptr, &path)) return ERROR_INVALID_HANDLE;
    RegistryKey* k;
    RegistryValue* v = FindLoadedValue(path, valueName, &k);
    if (!v) return ERROR_FILE_NOT_FOUND;
    std::u16string name = v->name;
    EraseRegistryValue(k, (size_t)(v - k->values.data()));
    NoteChangeOf(path, name, false);
    NoteChange();
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    if (RootName(key)) return ERROR_SUCCESS;
    KeyHandle* h = HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    gHandles.erase(h);
    delete h;
    if (gHandles.empty() && gChanged) Save();
    return ERROR_SUCCESS;
}

}  // namespace unguarded

// Memory running out inside a call (the store's strings and vectors) fails that call.
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result) {
    return CallOrFail<LSTATUS>(ERROR_OUTOFMEMORY,
                               [&] { return unguarded::RegOpenKeyExW(key, subKey, options, access, result); });
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                        SECURITY_ATTRIBUTES* security, HKEY* result, LPDWORD disposition) {
    return CallOrFail<LSTATUS>(ERROR_OUTOFMEMORY, [&] {
        return unguarded::RegCreateKeyExW(key, subKey, reserved, keyClass, options, access, security, result,
                                          disposition);
    });
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
    return CallOrFail<LSTATUS>(ERROR_OUTOFMEMORY, [&] {
        return unguarded::RegQueryValueExW(key, valueName, reserved, type, data, dataSize);
    });
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize) {
    return CallOrFail<LSTATUS>(ERROR_OUTOFMEMORY, [&] {
        return unguarded::RegSetValueExW(key, valueName, reserved, type, data, dataSize);
    });
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    return CallOrFail<LSTATUS>(ERROR_OUTOFMEMORY, [&] { return unguarded::RegDeleteValueW(key, valueName); });
}

LSTATUS RegCloseKey(HKEY key) {
    return CallOrFail<LSTATUS>(ERROR_OUTOFMEMORY, [&] { return unguarded::RegCloseKey(key); });
}
