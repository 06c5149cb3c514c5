#pragma once
// The engine's file layer as a reader of other programs' files uses it: the same, except
// that it never creates a write-ahead log or a rollback journal. A log that another program
// deleted after we looked then fails to open, instead of being made anew beside a file that
// has none.

// The name of that layer over the engine's default one, or with `withoutLocks` over the
// engine's layer that takes no locks. Registered with the engine on first use.
const char* NoCreateVfs(bool withoutLocks);
