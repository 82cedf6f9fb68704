#include "host/app/Tour.h"

#include "host/app/HostWindow.h"
#include "host/core/SimulatedCore.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

CTour::CTour(CHostWindow& window, const QString& screenshots, QTextStream& out)
    : m_window(window), m_folder(screenshots), m_out(out)
{
    platform::SetMessageBoxHandler([this](QWidget*, const QString& text, unsigned style) {
        // the default button, but never a fourth time in a row for one box: a Retry against a
        // service that is down would go on for ever
        m_repeats = text == m_lastBox ? m_repeats + 1 : 0;
        m_lastBox = text;
        const bool givesUp = m_repeats >= 3 && (style & platform::MB_TYPEMASK) == platform::MB_RETRYCANCEL;
        const int answer = givesUp ? platform::IDCANCEL : platform::DefaultButton(style);
        Step(QStringLiteral("message box (style 0x%1): %2 -> %3")
                 .arg(style, 0, 16)
                 .arg(QString(text).replace(u'\n', QStringLiteral("\\n")))
                 .arg(answer));
        return answer;
    });
}

CTour::~CTour() { platform::SetMessageBoxHandler({}); }

void CTour::Step(const QString& text)
{
    m_out << "tour " << ++m_step << ": " << text << Qt::endl;
}

QString CTour::Screenshot(QWidget* window, const QString& name)
{
    if (m_folder.isEmpty() || !window)
        return {};
    QDir().mkpath(m_folder);
    QApplication::processEvents();
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    return window->grab().save(path) ? path : QString();
}

void CTour::Press(QWidget* window, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* control = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(control, &press);  // what the control leaves goes on to its dialog
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window, &release);
    QApplication::processEvents();
}

int CTour::Run(const QString& features)
{
    m_window.resize(1024, 720);
    m_window.show();
    // a fixed winter evening in Tokyo, so that every tour shows the same sky (docs/tour.md)
    const QString evening = QStringLiteral("time.year = 2026; time.month = 1; time.day = 15; time.hour = 20; time.minute = 0; "
                                           "location.latitude = 35.6895; location.longitude = 139.6917; Show Sky");
    m_window.Core().ExecCommand(evening);
    Step(QStringLiteral("host: %1").arg(evening));
    Step(QStringLiteral("main window with the star chart -> %1").arg(Screenshot(&m_window, QStringLiteral("main"))));

    QStringList keys;
    for (const auto& f : m_window.Features())
        keys.append(f.key);
    const QStringList wanted = features == u"all" ? keys : features.split(u',', Qt::SkipEmptyParts);
    int result = 0;
    for (const QString& key : wanted) {
        if (!keys.contains(key)) {
            Step(QStringLiteral("%1: no such feature (known: %2)").arg(key, keys.join(QStringLiteral(", "))));
            result = 1;
            continue;
        }
        const auto& features = m_window.Features();
        const auto feature = std::find_if(features.begin(), features.end(), [&](const auto& f) { return f.key == key; });
        if (feature->tour)
            feature->tour(*this);
        else
            Step(QStringLiteral("%1: not available yet in this build").arg(key));
    }
    Step(QStringLiteral("done"));
    return result;
}
