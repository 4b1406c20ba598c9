-- Hotel database, embedded (SQLite) dialect. Tables are STRICT so that a value
-- of the wrong kind is converted or refused, never stored as it came.
-- Date-times are local time as text 'YYYY-MM-DD HH:MM:SS', so text order is
-- time order; datetime(x, '+0 days') IS x admits exactly that form of a real
-- date (the modifier rolls 2023-02-29 over to March, so it differs from itself).
-- A table without an ID column gets RecID last, so that a table object
-- changes exactly one row.

CREATE TABLE SchemaVersion (
    Version INTEGER NOT NULL
) STRICT;

CREATE TABLE RoomInfo (
    Room INTEGER,
    RoomStr TEXT NOT NULL UNIQUE CHECK (RoomStr <> ''),
    SystemRoomStr TEXT UNIQUE,
    Buiding INTEGER NOT NULL,
    Floor INTEGER NOT NULL,
    RoomNumber INTEGER NOT NULL,
    RoomTypeStr TEXT,
    District INTEGER,
    RoomState INTEGER DEFAULT 0,
    CardSn INTEGER NOT NULL DEFAULT 0,
    RecID INTEGER PRIMARY KEY
) STRICT;

CREATE INDEX RoomInfo_Place ON RoomInfo (Buiding, Floor, RoomNumber);
CREATE INDEX RoomInfo_Room ON RoomInfo (Room);

CREATE TABLE RoomType (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Title TEXT NOT NULL,
    Size INTEGER,
    Piece REAL
) STRICT;

CREATE TABLE RoomStateType (
    ID INTEGER PRIMARY KEY,
    State_Title TEXT
) STRICT;

CREATE TABLE District (
    DistrictNumber INTEGER UNIQUE,
    Notes TEXT,
    RecID INTEGER PRIMARY KEY
) STRICT;

CREATE TABLE GuestInRecord (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    GuestName TEXT,
    GuestID TEXT,
    Room INTEGER,
    RoomStr TEXT,
    Rom TEXT,
    GuestInTime TEXT CHECK (datetime(GuestInTime, '+0 days') IS GuestInTime),
    GuestLeaveTime TEXT CHECK (datetime(GuestLeaveTime, '+0 days') IS GuestLeaveTime),
    LeaveTime TEXT CHECK (datetime(LeaveTime, '+0 days') IS LeaveTime),
    enOverride INTEGER NOT NULL DEFAULT 0,
    InputUser TEXT,
    InputTime TEXT DEFAULT (datetime('now', 'localtime')) CHECK (datetime(InputTime, '+0 days') IS InputTime),
    MakeName TEXT,
    CardCounts INTEGER DEFAULT 1
) STRICT;

CREATE INDEX GuestInRecord_RoomStr ON GuestInRecord (RoomStr, enOverride);
CREATE INDEX GuestInRecord_Rom ON GuestInRecord (Rom, enOverride);
CREATE INDEX GuestInRecord_LiveRoom ON GuestInRecord (Room) WHERE enOverride = 0;

CREATE TABLE MakeCardRecord (
    CardType INTEGER,
    Rom TEXT,
    RoomStr TEXT,
    Room INTEGER,
    Buiding INTEGER,
    Floor INTEGER,
    District INTEGER,
    Holder TEXT,
    Explain TEXT,
    MakeUser TEXT,
    MakeName TEXT,
    StartTime TEXT CHECK (datetime(StartTime, '+0 days') IS StartTime),
    EndTime TEXT CHECK (datetime(EndTime, '+0 days') IS EndTime),
    enOverride INTEGER,
    InputTime TEXT DEFAULT (datetime('now', 'localtime')) CHECK (datetime(InputTime, '+0 days') IS InputTime),
    RecID INTEGER PRIMARY KEY
) STRICT;

CREATE INDEX MakeCardRecord_InputTime ON MakeCardRecord (InputTime);
-- A card's latest journal row: its type and number, newest first.
CREATE INDEX MakeCardRecord_Card ON MakeCardRecord (CardType, Rom, InputTime);
-- The journal browser: one card type over a range of days.
CREATE INDEX MakeCardRecord_TypeTime ON MakeCardRecord (CardType, InputTime);

CREATE TABLE CardType (
    ID INTEGER PRIMARY KEY,
    C_Title TEXT
) STRICT;

CREATE TABLE AllCardSn (
    CardType INTEGER UNIQUE,
    CardSn INTEGER NOT NULL DEFAULT 0,
    RecID INTEGER PRIMARY KEY
) STRICT;

CREATE TABLE KeyKindTable (
    KeyID INTEGER,
    KeyKind TEXT,
    RecID INTEGER PRIMARY KEY
) STRICT;

CREATE TABLE OpenDoorRecord (
    RoomStr TEXT,
    Rom TEXT,
    OpenTime TEXT CHECK (datetime(OpenTime, '+0 days') IS OpenTime),
    CardType INTEGER,
    CardTypeStr TEXT,
    CardHolderStr TEXT,
    MakeName TEXT,
    RecID INTEGER PRIMARY KEY
) STRICT;

CREATE INDEX OpenDoorRecord_RoomStr ON OpenDoorRecord (RoomStr);

CREATE TABLE Operator (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Staffer TEXT,
    StafferName TEXT,
    Pass TEXT,
    Branch TEXT,
    GroupID INTEGER,
    CheckIn INTEGER NOT NULL DEFAULT 0 CHECK (CheckIn IN (0, 1)),
    CheckOut INTEGER NOT NULL DEFAULT 0 CHECK (CheckOut IN (0, 1)),
    ClearCard INTEGER NOT NULL DEFAULT 0 CHECK (ClearCard IN (0, 1)),
    TimeCard INTEGER NOT NULL DEFAULT 0 CHECK (TimeCard IN (0, 1)),
    LostCard INTEGER NOT NULL DEFAULT 0 CHECK (LostCard IN (0, 1)),
    EmergentCard INTEGER NOT NULL DEFAULT 0 CHECK (EmergentCard IN (0, 1)),
    MasterCard INTEGER NOT NULL DEFAULT 0 CHECK (MasterCard IN (0, 1)),
    BuildingCard INTEGER NOT NULL DEFAULT 0 CHECK (BuildingCard IN (0, 1)),
    FloorCard INTEGER NOT NULL DEFAULT 0 CHECK (FloorCard IN (0, 1)),
    DistrictCard INTEGER NOT NULL DEFAULT 0 CHECK (DistrictCard IN (0, 1)),
    SystemInfo INTEGER NOT NULL DEFAULT 0 CHECK (SystemInfo IN (0, 1)),
    OperatorManage INTEGER NOT NULL DEFAULT 0 CHECK (OperatorManage IN (0, 1)),
    DataCard INTEGER NOT NULL DEFAULT 0 CHECK (DataCard IN (0, 1)),
    RoomType INTEGER NOT NULL DEFAULT 0 CHECK (RoomType IN (0, 1)),
    RoomInfo INTEGER NOT NULL DEFAULT 0 CHECK (RoomInfo IN (0, 1)),
    DistrictInfo INTEGER NOT NULL DEFAULT 0 CHECK (DistrictInfo IN (0, 1))
) STRICT;

CREATE UNIQUE INDEX Operator_Staffer ON Operator (lower(Staffer));

CREATE TABLE Groups (
    ID INTEGER PRIMARY KEY,
    GroupName TEXT
) STRICT;
