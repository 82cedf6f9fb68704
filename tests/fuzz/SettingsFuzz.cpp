// The settings document. The input is a settings file. A document that
// parses must read back as itself once written; the store over the file
// either writes a value and keeps every other, or, for a file it could not
// have written, refuses and leaves the file byte for byte.
#include "tests/fuzz/FuzzSupport.h"

#include "support/zvnreg/Registry.h"
#include "support/zvnreg/SettingsDocument.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Initialize("settings");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto document = CSettingsDocument::Parse(input);
    if (document) {
        const QByteArray written = document->Serialize();
        const auto reread = CSettingsDocument::Parse(written);
        fuzz::Check(reread.has_value(), "a written document parses", QString::fromUtf8(written));
        fuzz::Check(reread->Serialize() == written, "a written document reads back as itself",
                    QString::fromUtf8(written) + QStringLiteral("\n---\n") + QString::fromUtf8(reread->Serialize()));
    }

    // the store over the same bytes as its file
    const QString path = CRegistry::SettingsPath();
    fuzz::WriteFile(path, input);
    const QString section = QStringLiteral("General\\Authentication");
    QString token;
    CRegistry::Read(section, QStringLiteral("AccessToken"), QString(), token);
    int timeout = 0;
    CRegistry::Read(QStringLiteral("General\\Network"), QStringLiteral("ConnectTimeout"), 60, &timeout);
    const QString value = QStringLiteral("tok\\en\r\n=値");
    const int stored = CRegistry::Write(section, QStringLiteral("AccessToken"), value);
    if (!document) {
        fuzz::Check(!stored && fuzz::ReadFile(path) == input, "a file the store could not have written is left byte for byte");
    } else {
        fuzz::Check(stored == 1, "a settings document takes a value");
        QString back;
        CRegistry::Read(section, QStringLiteral("accesstoken"), QString(), back);
        fuzz::Check(back == value, "a written value reads back", back);
        // every other value as before: the document less the one value, read again
        auto expected = *document;
        expected.SetValue(section, QStringLiteral("AccessToken"), value);
        const auto now = CSettingsDocument::Parse(fuzz::ReadFile(path));
        fuzz::Check(now && now->Serialize() == expected.Serialize(), "a write keeps every other value");
    }

    fuzz::Clear();
    return 0;
}
