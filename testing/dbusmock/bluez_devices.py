'''Many Low Energy peripherals at once, for BlueZ's mock (the "bluez5" template)

Loaded into the running mock (org.freedesktop.DBus.Mock.AddTemplate) with the parameters
"adapter" (the adapter's name, such as "hci0") and "count": that many mice with BlueZ's battery
interface (Percentage from 10 to 99), connected by the system with their services resolved, at
the addresses 0A:00:00:00:00:00, 0A:00:00:00:00:01 and on, each announced with InterfacesAdded
as BlueZ announces a device.
'''

import dbus

from dbusmock import mockobject

DEVICE_IFACE = 'org.bluez.Device1'
BATTERY_IFACE = 'org.bluez.Battery1'
OBJECT_MANAGER_IFACE = 'org.freedesktop.DBus.ObjectManager'
BATTERY_SERVICE = '0000180f-0000-1000-8000-00805f9b34fb'
MOUSE_APPEARANCE = 0x03C2


def load(mock, parameters):
    adapter_path = '/org/bluez/' + parameters['adapter']
    manager = mockobject.objects['/']
    for number in range(int(parameters['count'])):
        address = ':'.join(['0A'] + ['%02X' % ((number >> shift) & 0xFF) for shift in (32, 24, 16, 8, 0)])
        path = adapter_path + '/dev_' + address.replace(':', '_')
        device = {
            'Address': dbus.String(address, variant_level=1),
            'AddressType': dbus.String('random', variant_level=1),
            'Name': dbus.String('Mouse %d' % number, variant_level=1),
            'Alias': dbus.String('Mouse %d' % number, variant_level=1),
            'Appearance': dbus.UInt16(MOUSE_APPEARANCE, variant_level=1),
            'UUIDs': dbus.Array([BATTERY_SERVICE], signature='s', variant_level=1),
            'Paired': dbus.Boolean(True, variant_level=1),
            'Connected': dbus.Boolean(True, variant_level=1),
            'ServicesResolved': dbus.Boolean(True, variant_level=1),
            'Adapter': dbus.ObjectPath(adapter_path, variant_level=1),
        }
        battery = {'Percentage': dbus.Byte(10 + number % 90, variant_level=1)}
        mock.AddObject(path, DEVICE_IFACE, device, [])
        mockobject.objects[path].AddProperties(BATTERY_IFACE, battery)
        manager.EmitSignal(OBJECT_MANAGER_IFACE, 'InterfacesAdded', 'oa{sa{sv}}',
                           [dbus.ObjectPath(path), {DEVICE_IFACE: device, BATTERY_IFACE: battery}])
