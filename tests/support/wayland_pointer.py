# SPDX-License-Identifier: GPL-3.0-or-later
"""A pointer for a headless wlroots compositor, which has none: a client of its
virtual pointer protocol, speaking the Wayland wire protocol itself (no fds are
passed, so a plain socket does)."""

import os
import socket
import struct
import time

DISPLAY_ID, REGISTRY_ID = 1, 2
BUTTONS = {"left": 0x110, "right": 0x111}  # evdev codes


def _string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class VirtualPointer:
    def __init__(self, runtime_dir, display):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(os.path.join(runtime_dir, display))
        self.buffer = b""
        self.next_id = REGISTRY_ID + 1  # the compositor takes new ids in order only
        self._send(DISPLAY_ID, 1, struct.pack("<I", REGISTRY_ID))  # get_registry
        globals_ = {}
        for sender, opcode, body in self._roundtrip():  # the globals come before the sync's end
            if sender == REGISTRY_ID and opcode == 0:  # global
                size = struct.unpack_from("<I", body, 4)[0]
                globals_[body[8:8 + size - 1].decode()] = struct.unpack_from("<I", body)[0]
        interface = "zwlr_virtual_pointer_manager_v1"
        if interface not in globals_:
            raise RuntimeError("the compositor offers no virtual pointer")
        manager, self.pointer = self.next_id, self.next_id + 1
        self.next_id += 2
        self._send(REGISTRY_ID, 0, struct.pack("<I", globals_[interface]) + _string(interface) +
                   struct.pack("<II", 1, manager))
        # create_virtual_pointer on the default seat
        self._send(manager, 0, struct.pack("<II", 0, self.pointer))
        self._roundtrip()

    def _send(self, target, opcode, body=b""):
        self.sock.sendall(struct.pack("<II", target, (8 + len(body)) << 16 | opcode) + body)

    def _roundtrip(self):
        """The events up to the end of a sync request."""
        callback, self.next_id = self.next_id, self.next_id + 1
        self._send(DISPLAY_ID, 0, struct.pack("<I", callback))
        events = []
        while True:
            while (len(self.buffer) < 8 or
                   len(self.buffer) < struct.unpack_from("<I", self.buffer, 4)[0] >> 16):
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise RuntimeError("the compositor closed the connection")
                self.buffer += chunk
            sender, word = struct.unpack_from("<II", self.buffer)
            size, opcode = word >> 16, word & 0xffff
            body, self.buffer = self.buffer[8:size], self.buffer[size:]
            if sender == DISPLAY_ID and opcode == 0:  # error
                raise RuntimeError("Wayland error %r" % body)
            if sender == callback:  # done
                return events
            events.append((sender, opcode, body))

    @staticmethod
    def _ms():
        return int(time.monotonic() * 1000) & 0xffffffff

    def move(self, x, y, width, height):
        """To (x, y) of the layout whose size is width by height."""
        self._send(self.pointer, 1, struct.pack("<IIIII", self._ms(), x, y, width, height))
        self._send(self.pointer, 4)  # frame
        self._roundtrip()

    def click(self, button="left"):
        for state in (1, 0):
            self._send(self.pointer, 2, struct.pack("<III", self._ms(), BUTTONS[button], state))
            self._send(self.pointer, 4)
            self._roundtrip()
            time.sleep(0.05)

    def close(self):
        self._send(self.pointer, 8)  # destroy
        self._roundtrip()
        self.sock.close()
