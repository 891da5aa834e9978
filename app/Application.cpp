#include "app/Application.h"

#include "app/Messenger.h"
#include "app/Texts.h"

#include <QFont>
#include <QWidget>
#include <exception>

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    // The layouts are drawn for these faces' metrics; Liberation Sans shares Arial's.
    const QStringList sansFaces{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sansFaces);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sansFaces);
}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        if (m_messenger)
            m_messenger->error(activeWindow(), texts::errorReportText(QString::fromUtf8(e.what())));
    } catch (...) {
        if (m_messenger)
            m_messenger->error(activeWindow(), texts::errorReportText(texts::unknownErrorText()));
    }
    return true;
}
