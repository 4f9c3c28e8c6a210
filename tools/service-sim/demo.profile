# Demo devices of the service stand-in. Field names are those of the shared block.
# Two monitors side by side; monitor 2 is the pen display's.

[monitors]
rect0 = 0 0 3840 1080
rect1 = 0 0 1920 1080
rect2 = 1920 0 3840 1080
monitorCount = 2
currentMonitor = 2
primaryMonitor = 1
displayDeviceName = \\.\DISPLAY2

# A small pen tablet: 8 express keys, one ring, lights.
[device]
deviceId = PID_0374
productName = Scribo Pad S
modelName = SP-0374
deviceKind = 0
hasRing = 1
hasExpressKeys = 1
hasLights = 1
ringCount = 1
keyCount = 8
keyPresent = 1 1 1 1 1 1 1 1
keyDefaultFunc = 1 2 3 4 5 6 7 8
pressureScaleMode = 1
penModel = 3
tabletMaxX = 15200
tabletMaxY = 9500
physicalWidth = 15200
physicalHeight = 9500
pressureCurve = 0 0.5 0.5 1
penButton1Index = 1
penButton2Index = 2
monitorIndex = 0
screenArea = 0 0 3840 1080
mouseSpeed = 5
displayCalib = 1 1 0.5 0.5
pictureIds = 201 202 210 211 212 213 0 0
previewLayout = 0.513 0.538 0.719 0.758  0.36 0.47 0.56 0.83  0.513 0.538 0.719 0.758  0.36 0.47 0.56 0.83
ringFuncDefault = 0 1 0 1 0 0 0 0 0 0
ringTextDefault.0 = Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + =]|187|13|2
ringTextDefault.1 = Scroll;1|[Up]|38|72|0;1|[Down]|40|80|0
ringTextDefault.2 = Brush size;1|[[]|219|26|0;1|[]]|221|27|0
ringTextDefault.3 = Rotate;1|[R]|82|19|0;1|[Shift + R]|82|19|1
tabletLight = 50
wheelLight = 100
apps.0.inUse = 1

# A large tablet: 16 express keys, a ring and a trackpad.
[device]
deviceId = PID_0375
productName = Scribo Pad L
modelName = SP-0375
deviceKind = 0
hasRing = 1
hasExpressKeys = 1
hasLights = 0
hasTrackPad = 1
ringCount = 2
keyCount = 16
keyPresent = 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1
keyDefaultFunc = 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 32
trackPadId = 1
pressureScaleMode = 2
penModel = 1
tabletMaxX = 40000
tabletMaxY = 25000
physicalWidth = 20320
physicalHeight = 15240
pressureCurve = 0 0.5 0.5 1
penButton1Index = 1
penButton2Index = 2
monitorIndex = 0
screenArea = 0 0 3840 1080
mouseSpeed = 5
displayCalib = 1 1 0.5 0.5
pictureIds = 203 204 214 215 216 217 0 205
previewLayout = 0.513 0.538 0.719 0.758  0.37 0.45 0.55 0.85  0.513 0.538 0.719 0.758  0.37 0.45 0.55 0.85
ringFuncDefault = 0 1 0 0 0 0 1 0 0 0
ringTextDefault.0 = Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + =]|187|13|2
ringTextDefault.5 = Scroll;1|[Up]|38|72|0;1|[Down]|40|80|0
apps.0.inUse = 1

# A pen display with express keys, on monitor 2.
[device]
deviceId = PID_0390
productName = Scribo Display 16
modelName = SD-0390
deviceKind = 1
hasRing = 0
hasExpressKeys = 1
hasLights = 0
keyCount = 8
keyPresent = 1 1 1 1 1 1 1 1
keyDefaultFunc = 1 2 3 4 5 6 7 8
pressureScaleMode = 1
penModel = 3
tabletMaxX = 34420
tabletMaxY = 19360
physicalWidth = 34420
physicalHeight = 19360
pressureCurve = 0 0.5 0.5 1
penButton1Index = 1
penButton2Index = 2
monitorIndex = 2
screenArea = 1920 0 3840 1080
mouseSpeed = 5
displayCalib = 1 1 0.5 0.5
pictureIds = 206 0 218 219 220 221 0 0
previewLayout = 0.513 0.538 0.719 0.758  0.37 0.46 0.55 0.84  0.513 0.538 0.719 0.758  0.37 0.46 0.55 0.84
apps.0.inUse = 1

# The express-key remote: keys only, no pen. Arrives on command ("arrive 0x0A31").
[device]
connected = 0
deviceId = PID_0A31
productName = Scribo Remote
modelName = SR-0A31
deviceKind = 5
hasRing = 1
hasExpressKeys = 1
ringCount = 1
keyCount = 18
keyPresent = 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1
keyDefaultFunc = 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18
pictureIds = 207 208 0 0 0 0 0 0
ringFuncDefault = 0 1 0 0 0 0 0 0 0 0
ringTextDefault.0 = Zoom;1|[Ctrl + -]|189|12|2;1|[Ctrl + =]|187|13|2
apps.0.inUse = 1
