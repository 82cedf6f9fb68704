#pragma once
// What every fuzz target shares: one scratch folder per process that every
// file of an input goes into and that is emptied after each input, snapshots
// of a folder to see what an input changed on disk, a quiet Qt, message boxes
// answered with their default button, and the failure that libFuzzer keeps
// as a crash with its input.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fuzz {

// Once, from LLVMFuzzerInitialize: the scratch folder (in $TMPDIR), the
// settings file and the temporary folder inside it, a fixed hash seed.
// `application` makes a QCoreApplication, for the targets whose code asks one.
void Initialize(const char* target, bool application = false);

// The process's scratch folder, without a trailing "/"; removed at exit.
const QString& Scratch();
// Removes everything inside the scratch folder: each input starts from an empty one.
void Clear();

// Every entry below the folder (links not followed), one line each: its
// relative path, its kind (d, f or l), and for a file its size and checksum.
// Equal snapshots: nothing below the folder changed.
QStringList Snapshot(const QString& folder);

bool WriteFile(const QString& path, const QByteArray& bytes);  // creates the folders on the way
QByteArray ReadFile(const QString& path);                      // empty when it cannot be read
bool Exists(const QString& path);                              // anything there, a broken link too

// message boxes shown since the process started
int MessageBoxCount();

// A promise of the code broken by the input: says which and aborts.
[[noreturn]] void Fail(const char* promise, const QString& detail = {});
inline void Check(bool kept, const char* promise, const QString& detail = {})
{
    if (!kept)
        Fail(promise, detail);
}

}  // namespace fuzz
