// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QMetaType>
#include <QPointer>
#include <QString>
#include <QVariant>

namespace kv {

// A value of one of the D-Bus types that Qt's item keeps to itself, handed on
// as it is. A new one holds an empty value of Qt's type, from which the bus
// learns the type's signature.
template <int Kind> struct QtItemValue
{
    QVariant value{type};
    static inline QMetaType type; // Qt's, known once its item is made
};
using QtIconPixmaps = QtItemValue<0>;
using QtToolTip = QtItemValue<1>;

template <int Kind> QDBusArgument &operator<<(QDBusArgument &arg, const QtItemValue<Kind> &item)
{
    arg.appendVariant(item.value);
    return arg;
}
template <int Kind>
const QDBusArgument &operator>>(const QDBusArgument &arg, QtItemValue<Kind> &item)
{
    item.value = arg.asVariant();
    return arg;
}

// A title and an id of the item's own on Qt's StatusNotifierItem, which says
// the application name for both: hosts show the title in their lists of
// hidden icons and keep their settings under the id.
//
// Qt exports its item's adaptors; an adaptor added later for the same
// interface takes that interface's place on the bus. This one answers for
// Title and Id and hands every other property, call and signal on to Qt's
// adaptor. Empty names are Qt's.
class StatusNotifierNames : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kde.StatusNotifierItem\">\n"
                "    <property name=\"Category\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Id\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Title\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Status\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Menu\" type=\"o\" access=\"read\"/>\n"
                "    <property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"IconName\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>\n"
                "    <property name=\"OverlayIconName\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"OverlayIconPixmap\" type=\"a(iiay)\" access=\"read\"/>\n"
                "    <property name=\"AttentionIconName\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"AttentionIconPixmap\" type=\"a(iiay)\" access=\"read\"/>\n"
                "    <property name=\"AttentionMovieName\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>\n"
                "    <method name=\"ContextMenu\">\n"
                "      <arg name=\"x\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"y\" type=\"i\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"Activate\">\n"
                "      <arg name=\"x\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"y\" type=\"i\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"SecondaryActivate\">\n"
                "      <arg name=\"x\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"y\" type=\"i\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <method name=\"Scroll\">\n"
                "      <arg name=\"delta\" type=\"i\" direction=\"in\"/>\n"
                "      <arg name=\"orientation\" type=\"s\" direction=\"in\"/>\n"
                "    </method>\n"
                "    <signal name=\"NewTitle\"/>\n"
                "    <signal name=\"NewIcon\"/>\n"
                "    <signal name=\"NewAttentionIcon\"/>\n"
                "    <signal name=\"NewOverlayIcon\"/>\n"
                "    <signal name=\"NewMenu\"/>\n"
                "    <signal name=\"NewToolTip\"/>\n"
                "    <signal name=\"NewStatus\">\n"
                "      <arg name=\"status\" type=\"s\"/>\n"
                "    </signal>\n"
                "  </interface>\n")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(kv::QtIconPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ overlayIconName)
    Q_PROPERTY(kv::QtIconPixmaps OverlayIconPixmap READ overlayIconPixmap)
    Q_PROPERTY(QString AttentionIconName READ attentionIconName)
    Q_PROPERTY(kv::QtIconPixmaps AttentionIconPixmap READ attentionIconPixmap)
    Q_PROPERTY(QString AttentionMovieName READ attentionMovieName)
    Q_PROPERTY(kv::QtToolTip ToolTip READ toolTip)

public:
    // On the object Qt registered as its item; null where that object has no
    // adaptor of Qt's for the interface, or one of ours already.
    static StatusNotifierNames *attach(QObject *item, const QString &title, const QString &id);

    void setNames(const QString &title, const QString &id);

    QString category() const { return qt("Category").toString(); }
    QString id() const { return m_id.isEmpty() ? qt("Id").toString() : m_id; }
    QString title() const { return m_title.isEmpty() ? qt("Title").toString() : m_title; }
    QString status() const { return qt("Status").toString(); }
    QDBusObjectPath menu() const;
    bool itemIsMenu() const { return qt("ItemIsMenu").toBool(); }
    QString iconName() const { return qt("IconName").toString(); }
    QtIconPixmaps iconPixmap() const { return qtItemValue<0>("IconPixmap"); }
    QString overlayIconName() const { return qt("OverlayIconName").toString(); }
    QtIconPixmaps overlayIconPixmap() const { return qtItemValue<0>("OverlayIconPixmap"); }
    QString attentionIconName() const { return qt("AttentionIconName").toString(); }
    QtIconPixmaps attentionIconPixmap() const { return qtItemValue<0>("AttentionIconPixmap"); }
    QString attentionMovieName() const { return qt("AttentionMovieName").toString(); }
    QtToolTip toolTip() const { return qtItemValue<1>("ToolTip"); }

public slots:
    void Activate(int x, int y) { call("Activate", x, y); }
    void ContextMenu(int x, int y) { call("ContextMenu", x, y); }
    void SecondaryActivate(int x, int y) { call("SecondaryActivate", x, y); }
    void Scroll(int delta, const QString &orientation);

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewMenu();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierNames(QObject *item, QDBusAbstractAdaptor *qtAdaptor);
    QVariant qt(const char *property) const;
    // Empty where Qt has no such value: the bus sends no invalid one.
    template <int Kind> QtItemValue<Kind> qtItemValue(const char *property) const
    {
        QtItemValue<Kind> item;
        if (const QVariant value = qt(property); value.metaType() == item.value.metaType())
            item.value = value;
        return item;
    }
    void call(const char *method, int x, int y);

    QPointer<QDBusAbstractAdaptor> m_qt;
    QString m_title;
    QString m_id;
};

} // namespace kv

Q_DECLARE_METATYPE(kv::QtIconPixmaps)
Q_DECLARE_METATYPE(kv::QtToolTip)
