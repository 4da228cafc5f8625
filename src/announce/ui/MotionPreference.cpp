#include "announce/ui/MotionPreference.h"

#include <QProcess>

namespace kuji {

MotionPreference::MotionPreference(QObject* parent)
    : QObject(parent)
{
}

// A question still open when the program ends is not worth waiting for.
MotionPreference::~MotionPreference()
{
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

QStringList MotionPreference::query()
{
    return { QStringLiteral("gsettings"), QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
        QStringLiteral("enable-animations") };
}

void MotionPreference::ask()
{
    if (m_asked)
        return;
    m_asked = true;
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this, [this, process](int exitCode, QProcess::ExitStatus status) {
        const bool off = status == QProcess::NormalExit && exitCode == 0
            && process->readAllStandardOutput().trimmed() == QByteArrayLiteral("false");
        process->deleteLater();
        if (off != m_reduced) {
            m_reduced = off;
            emit answered(m_reduced);
        }
    });
    // A program that cannot start leaves motion allowed.
    connect(process, &QProcess::errorOccurred, this, [process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    const QStringList command = query();
    process->start(command.first(), command.mid(1), QIODevice::ReadOnly);
}

void MotionPreference::assume(bool reduced)
{
    m_asked = true;
    m_reduced = reduced;
    emit answered(reduced);
}

} // namespace kuji
