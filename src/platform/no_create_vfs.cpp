#include "platform/no_create_vfs.h"

#include <sqlite3.h>

namespace {

sqlite3_vfs* Base(sqlite3_vfs* vfs)
{
    return static_cast<sqlite3_vfs*>(vfs->pAppData);
}

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    if (flags & (SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL))
        flags &= ~SQLITE_OPEN_CREATE;
    return Base(vfs)->xOpen(Base(vfs), name, file, flags, outFlags);
}

// Everything else is the base layer's own, called with the base layer (whose functions may
// keep their state with it).
sqlite3_vfs Over(sqlite3_vfs* base, const char* name)
{
    sqlite3_vfs vfs = *base;
    vfs.zName = name;
    vfs.pAppData = base;
    vfs.xOpen = Open;
    vfs.xDelete = [](sqlite3_vfs* v, const char* n, int sync) { return Base(v)->xDelete(Base(v), n, sync); };
    vfs.xAccess = [](sqlite3_vfs* v, const char* n, int what, int* out) { return Base(v)->xAccess(Base(v), n, what, out); };
    vfs.xFullPathname = [](sqlite3_vfs* v, const char* n, int size, char* out) {
        return Base(v)->xFullPathname(Base(v), n, size, out);
    };
    vfs.xDlOpen = [](sqlite3_vfs* v, const char* n) { return Base(v)->xDlOpen(Base(v), n); };
    vfs.xDlError = [](sqlite3_vfs* v, int size, char* out) { Base(v)->xDlError(Base(v), size, out); };
    vfs.xDlSym = [](sqlite3_vfs* v, void* library, const char* symbol) { return Base(v)->xDlSym(Base(v), library, symbol); };
    vfs.xDlClose = [](sqlite3_vfs* v, void* library) { Base(v)->xDlClose(Base(v), library); };
    vfs.xRandomness = [](sqlite3_vfs* v, int size, char* out) { return Base(v)->xRandomness(Base(v), size, out); };
    vfs.xSleep = [](sqlite3_vfs* v, int microseconds) { return Base(v)->xSleep(Base(v), microseconds); };
    vfs.xCurrentTime = [](sqlite3_vfs* v, double* now) { return Base(v)->xCurrentTime(Base(v), now); };
    vfs.xGetLastError = [](sqlite3_vfs* v, int size, char* out) { return Base(v)->xGetLastError(Base(v), size, out); };
    vfs.xCurrentTimeInt64 = nullptr;
    if (base->iVersion >= 2 && base->xCurrentTimeInt64)
        vfs.xCurrentTimeInt64 = [](sqlite3_vfs* v, sqlite3_int64* now) { return Base(v)->xCurrentTimeInt64(Base(v), now); };
    // The engine's test hooks for replacing system calls are left out: nothing here uses them.
    if (vfs.iVersion > 2)
        vfs.iVersion = 2;
    vfs.xSetSystemCall = nullptr;
    vfs.xGetSystemCall = nullptr;
    vfs.xNextSystemCall = nullptr;
    return vfs;
}

const char* Register(sqlite3_vfs* storage, const char* baseName, const char* name)
{
    sqlite3_vfs* base = sqlite3_vfs_find(baseName);
    if (!base || sqlite3_vfs_find(name))
        return name;   // without a base the open names the missing layer in its message
    *storage = Over(base, name);
    sqlite3_vfs_register(storage, 0);
    return name;
}

} // namespace

const char* NoCreateVfs(bool withoutLocks)
{
    static sqlite3_vfs locked, unlocked;
    static const char* const lockedName = Register(&locked, nullptr, "lexivane-no-create");
    static const char* const unlockedName = Register(&unlocked, "unix-none", "lexivane-no-create-no-locks");
    return withoutLocks ? unlockedName : lockedName;
}
