'''A desktop's StatusNotifierWatcher, as panels run it

Items register by bus name (found at /StatusNotifierItem; a name nobody owns is ignored) or by
object path (on the sender's connection); each is listed as "<bus name><path>" and dropped, with
StatusNotifierItemUnregistered, when its bus name leaves the bus.
'''

import dbus

BUS_NAME = 'org.kde.StatusNotifierWatcher'
MAIN_OBJ = '/StatusNotifierWatcher'
MAIN_IFACE = 'org.kde.StatusNotifierWatcher'
SYSTEM_BUS = False


def set_items(mock, items):
    mock.items = items
    mock.Set(MAIN_IFACE, 'RegisteredStatusNotifierItems', dbus.Array(items, signature='s'))


def load(mock, _parameters):
    mock.AddProperties(MAIN_IFACE, {
        'RegisteredStatusNotifierItems': dbus.Array([], signature='s'),
        'IsStatusNotifierHostRegistered': True,
        'ProtocolVersion': dbus.Int32(0),
    })
    mock.items = []

    def owner_changed(name, _old, new):
        if new:
            return
        gone = [item for item in mock.items if item.startswith(name + '/')]
        if not gone:
            return
        set_items(mock, [item for item in mock.items if item not in gone])
        for item in gone:
            mock.EmitSignal(MAIN_IFACE, 'StatusNotifierItemUnregistered', 's', [item])

    mock.connection.add_signal_receiver(owner_changed, 'NameOwnerChanged', 'org.freedesktop.DBus',
                                        'org.freedesktop.DBus', '/org/freedesktop/DBus')


@dbus.service.method(MAIN_IFACE, in_signature='s', out_signature='', sender_keyword='sender')
def RegisterStatusNotifierItem(self, service, sender=None):
    if service.startswith('/'):
        item = sender + service
    else:
        if not self.connection.name_has_owner(service):
            return
        item = service + '/StatusNotifierItem'
    if item in self.items:
        return
    set_items(self, self.items + [item])
    self.EmitSignal(MAIN_IFACE, 'StatusNotifierItemRegistered', 's', [item])


@dbus.service.method(MAIN_IFACE, in_signature='s', out_signature='')
def RegisterStatusNotifierHost(_self, _service):
    pass
