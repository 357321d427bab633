'''Many Low Energy peripherals at once, for BlueZ's mock (the "bluez5" template)

Loaded into the running mock (org.freedesktop.DBus.Mock.AddTemplate) with the parameters
"adapter" (the adapter's name, such as "hci0"), "count", and "battery" (true unless given):
that many mice with BlueZ's battery interface (Percentage from 10 to 99), at the addresses
0A:00:00:00:00:00, 0A:00:00:00:00:01 and on; or, with "battery" false, that many straps that
offer the Device Information Service alone and no battery, at 0B:00:00:00:00:00 and on. All are
connected by the system with their services resolved, each announced with InterfacesAdded as
BlueZ announces a device.
'''

import dbus

from dbusmock import mockobject

DEVICE_IFACE = 'org.bluez.Device1'
BATTERY_IFACE = 'org.bluez.Battery1'
OBJECT_MANAGER_IFACE = 'org.freedesktop.DBus.ObjectManager'
BATTERY_SERVICE = '0000180f-0000-1000-8000-00805f9b34fb'
DEVICE_INFORMATION = '0000180a-0000-1000-8000-00805f9b34fb'
MOUSE_APPEARANCE = 0x03C2
WATCH_APPEARANCE = 0x00C0


def load(mock, parameters):
    adapter_path = '/org/bluez/' + parameters['adapter']
    battery = bool(parameters.get('battery', True))
    first, kind, appearance, uuids = (('0A', 'Mouse', MOUSE_APPEARANCE, [BATTERY_SERVICE]) if battery else
                                      ('0B', 'Strap', WATCH_APPEARANCE, [DEVICE_INFORMATION]))
    manager = mockobject.objects['/']
    for number in range(int(parameters['count'])):
        address = ':'.join([first] + ['%02X' % ((number >> shift) & 0xFF) for shift in (32, 24, 16, 8, 0)])
        path = adapter_path + '/dev_' + address.replace(':', '_')
        device = {
            'Address': dbus.String(address, variant_level=1),
            'AddressType': dbus.String('random', variant_level=1),
            'Name': dbus.String('%s %d' % (kind, number), variant_level=1),
            'Alias': dbus.String('%s %d' % (kind, number), variant_level=1),
            'Appearance': dbus.UInt16(appearance, variant_level=1),
            'UUIDs': dbus.Array(uuids, signature='s', variant_level=1),
            'Paired': dbus.Boolean(True, variant_level=1),
            'Connected': dbus.Boolean(True, variant_level=1),
            'ServicesResolved': dbus.Boolean(True, variant_level=1),
            'Adapter': dbus.ObjectPath(adapter_path, variant_level=1),
        }
        interfaces = {DEVICE_IFACE: device}
        mock.AddObject(path, DEVICE_IFACE, device, [])
        if battery:
            interfaces[BATTERY_IFACE] = {'Percentage': dbus.Byte(10 + number % 90, variant_level=1)}
            mockobject.objects[path].AddProperties(BATTERY_IFACE, interfaces[BATTERY_IFACE])
        manager.EmitSignal(OBJECT_MANAGER_IFACE, 'InterfacesAdded', 'oa{sa{sv}}', [dbus.ObjectPath(path), interfaces])
