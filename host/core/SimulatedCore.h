#pragma once
// The reference host's planetarium core: a host control that answers the
// command language of docs/host-commands.md about a simulated sky, and
// renders that sky as star charts.
#include "frame/CorZnt.h"
#include "host/core/SkyState.h"

#include <QFile>
#include <QImage>
#include <QObject>
#include <memory>

class CSimulatedCore : public QObject, public CCorZnt {
    Q_OBJECT
public:
    // starts at the current time, in Tokyo, looking south
    explicit CSimulatedCore(QObject* parent = nullptr);
    ~CSimulatedCore() override;

    QString ExecCommand(const QString& command) override;

    const SkyState& State() const { return m_state; }
    QImage RenderChart(const QSize& size = QSize(960, 720)) const;
    // the additional objects the user installed; the sky is drawn anew with them
    void SetAdditionalObjects(const QList<AdditionalObject>& objects);

    // every command received, with its answer, is appended to this file
    bool SetCommandLog(const QString& path);

    // the display flags the core knows, as the command language spells them
    static const QStringList& FlagNames();

signals:
    void skyChanged();  // after "Show Sky" and after any assignment

private:
    QString run(const QString& statement, QString& error);
    QString query(const QString& path, QString& error) const;
    void assign(const QString& path, const QString& value, QString& error);
    void save(const QString& path, QString& error);
    void saveScene(const QStringList& arguments, QString& error) const;
    void loadScene(const QStringList& arguments, QString& error);
    void setLocalDate(int field, int value);

    SkyState m_state;
    QString m_lastError;
    std::unique_ptr<QFile> m_log;
};
