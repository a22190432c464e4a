// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusNotifierNames.h"

#include <QDBusMetaType>
#include <QMetaMethod>
#include <QMetaObject>
#include <cstring>

namespace kv {

namespace {

const char *interfaceOf(const QMetaObject *meta)
{
    const int info = meta->indexOfClassInfo("D-Bus Interface");
    return info < 0 ? "" : meta->classInfo(info).value();
}

} // namespace

StatusNotifierNames *StatusNotifierNames::attach(QObject *item, const QString &title,
                                                 const QString &id)
{
    QDBusAbstractAdaptor *qtAdaptor = nullptr;
    for (QObject *child : item->children()) {
        if (qobject_cast<StatusNotifierNames *>(child))
            return nullptr; // one of ours answers already
        if (auto *adaptor = qobject_cast<QDBusAbstractAdaptor *>(child);
            adaptor &&
            std::strcmp(interfaceOf(adaptor->metaObject()), interfaceOf(&staticMetaObject)) == 0)
            qtAdaptor = adaptor;
    }
    if (!qtAdaptor)
        return nullptr;
    // The bus needs the signatures of Qt's own types for GetAll.
    const QMetaObject *qtMeta = qtAdaptor->metaObject();
    QtIconPixmaps::type = qtMeta->property(qtMeta->indexOfProperty("IconPixmap")).metaType();
    QtToolTip::type = qtMeta->property(qtMeta->indexOfProperty("ToolTip")).metaType();
    if (!QDBusMetaType::typeToSignature(QtIconPixmaps::type) ||
        !QDBusMetaType::typeToSignature(QtToolTip::type))
        return nullptr;
    qDBusRegisterMetaType<QtIconPixmaps>();
    qDBusRegisterMetaType<QtToolTip>();
    // The bus takes no stand-in for one of its basic types.
    if (qstrcmp(QDBusMetaType::typeToSignature(QMetaType::fromType<QtIconPixmaps>()),
                QDBusMetaType::typeToSignature(QtIconPixmaps::type)) != 0 ||
        qstrcmp(QDBusMetaType::typeToSignature(QMetaType::fromType<QtToolTip>()),
                QDBusMetaType::typeToSignature(QtToolTip::type)) != 0)
        return nullptr;
    auto *names = new StatusNotifierNames(item, qtAdaptor);
    names->setNames(title, id);
    return names;
}

StatusNotifierNames::StatusNotifierNames(QObject *item, QDBusAbstractAdaptor *qtAdaptor)
    : QDBusAbstractAdaptor(item), m_qt(qtAdaptor)
{
    // Qt emits its adaptor's signals itself, and the bus now hears ours only.
    const QMetaObject *ours = metaObject();
    const QMetaObject *theirs = qtAdaptor->metaObject();
    for (int n = ours->methodOffset(); n < ours->methodCount(); ++n) {
        const QMetaMethod signal = ours->method(n);
        if (signal.methodType() != QMetaMethod::Signal)
            continue;
        const int index = theirs->indexOfSignal(signal.methodSignature().constData());
        if (index >= 0)
            connect(qtAdaptor, theirs->method(index), this, signal);
    }
}

void StatusNotifierNames::setNames(const QString &title, const QString &id)
{
    const bool newTitle = title != m_title;
    m_title = title;
    m_id = id;
    if (newTitle)
        emit NewTitle();
}

QDBusObjectPath StatusNotifierNames::menu() const
{
    const auto path = qt("Menu").value<QDBusObjectPath>();
    // As Qt says it has none: the bus sends no empty path.
    return path.path().isEmpty() ? QDBusObjectPath("/NO_DBUSMENU") : path;
}

QVariant StatusNotifierNames::qt(const char *property) const
{
    return m_qt ? m_qt->property(property) : QVariant();
}

void StatusNotifierNames::call(const char *method, int x, int y)
{
    if (m_qt)
        QMetaObject::invokeMethod(m_qt, method, Q_ARG(int, x), Q_ARG(int, y));
}

void StatusNotifierNames::Scroll(int delta, const QString &orientation)
{
    if (m_qt)
        QMetaObject::invokeMethod(m_qt, "Scroll", Q_ARG(int, delta), Q_ARG(QString, orientation));
}

} // namespace kv
