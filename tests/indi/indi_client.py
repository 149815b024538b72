"""A small INDI client over a socket for the driver's tests: sends new*Vector
messages, keeps the last state of every property, the messages and the BLOBs."""

import base64
import select
import socket
import time
import xml.etree.ElementTree as ET


class IndiClient:
    def __init__(self, port, device):
        self.device = device
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=5)
        self.parser = ET.XMLPullParser(events=("start", "end"))
        self.parser.feed("<stream>")
        self.depth = 0
        self.root = None
        self.props = {}  # name -> {"state": ..., "values": {element: text}, "kind": ...}
        self.messages = []
        self.blobs = []  # (format, bytes)
        self.closed = False

    def send(self, text):
        self.sock.sendall(text.encode())

    def get_properties(self, blobs=True):
        self.send('<getProperties version="1.7"/>\n')
        if blobs:
            self.send('<enableBLOB device="%s">Also</enableBLOB>\n' % self.device)

    def new_switch(self, prop, on):
        """Turns the named switches on (others as the rule says)."""
        body = "".join('<oneSwitch name="%s">%s</oneSwitch>' % (n, "On" if v else "Off") for n, v in on.items())
        self.send('<newSwitchVector device="%s" name="%s">%s</newSwitchVector>\n' % (self.device, prop, body))

    def new_number(self, prop, values):
        body = "".join('<oneNumber name="%s">%s</oneNumber>' % (n, v) for n, v in values.items())
        self.send('<newNumberVector device="%s" name="%s">%s</newNumberVector>\n' % (self.device, prop, body))

    def new_text(self, prop, values):
        body = "".join('<oneText name="%s">%s</oneText>' % (n, v) for n, v in values.items())
        self.send('<newTextVector device="%s" name="%s">%s</newTextVector>\n' % (self.device, prop, body))

    def pump(self, seconds):
        end = time.monotonic() + seconds
        while not self.closed:
            left = end - time.monotonic()
            if left <= 0:
                return
            ready, _, _ = select.select([self.sock], [], [], left)
            if not ready:
                return
            data = self.sock.recv(1 << 20)
            if not data:
                self.closed = True
                return
            self.parser.feed(data)
            for event, elem in self.parser.read_events():
                if event == "start":
                    if self.root is None:
                        self.root = elem
                    self.depth += 1
                    continue
                self.depth -= 1
                if self.depth == 1:
                    self._take(elem)
                    self.root.remove(elem)

    def _take(self, elem):
        if elem.get("device", self.device) != self.device:
            return
        if elem.get("message"):
            self.messages.append(elem.get("message"))
        tag = elem.tag
        name = elem.get("name")
        if tag.startswith("del"):
            if name:
                self.props.pop(name, None)
            else:
                self.props.clear()
            return
        if not (tag.startswith("def") or tag.startswith("set")) or not name:
            return
        prop = self.props.setdefault(name, {"state": None, "values": {}, "states": []})
        if elem.get("state"):
            prop["state"] = elem.get("state")
            prop["states"].append(elem.get("state"))
        for child in elem:
            if tag == "setBLOBVector" and child.tag == "oneBLOB":
                payload = "".join((child.text or "").split())
                self.blobs.append((child.get("format"), base64.b64decode(payload)))
                continue
            prop["values"][child.get("name")] = (child.text or "").strip()

    def wait_for(self, condition, seconds):
        """Pumps until `condition()` holds; True when it did in time."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if condition():
                return True
            self.pump(min(0.2, end - time.monotonic()))
        return condition()

    def value(self, prop, element):
        return self.props.get(prop, {}).get("values", {}).get(element)

    def state(self, prop):
        return self.props.get(prop, {}).get("state")

    def states(self, prop):
        """Every state the property has reported, oldest first."""
        return self.props.get(prop, {}).get("states", [])

    def close(self):
        self.sock.close()
