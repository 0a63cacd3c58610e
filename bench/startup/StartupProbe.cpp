// A Qt generic plugin that a program under measurement loads through QT_QPA_GENERIC_PLUGINS. It
// waits for the first top-level window to be exposed and painted, writes the CLOCK_MONOTONIC time
// of that moment to the file named by PEXA_STARTUP_PROBE_OUT and ends the process. The program
// itself needs no change to be measured.
#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

void reportAndQuit()
{
    const long long shownAt = monotonicNanoseconds();
    if (const char* path = std::getenv("PEXA_STARTUP_PROBE_OUT")) {
        if (FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "%lld\n", shownAt);
            std::fclose(out);
        }
    }
    std::_Exit(0); // the measurement ends here; nothing after the first frame matters
}

class ShownWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QWindow*>(watched);
        if (!m_seen && event->type() == QEvent::Expose && window && window->isTopLevel()) {
            m_seen = true;
            // Queued, so the expose event, and the first paint it triggers, happen first.
            QTimer::singleShot(0, &reportAndQuit);
        }
        return false;
    }

private:
    bool m_seen = false;
};

} // namespace

class StartupProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "StartupProbe.json")

public:
    QObject* create(const QString&, const QString&) override
    {
        auto* watcher = new ShownWatcher(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watcher);
        return watcher;
    }
};

#include "StartupProbe.moc"
