-- Rows every new hotel database starts with; the same text for both dialects.

INSERT INTO SchemaVersion (Version) VALUES (1);

INSERT INTO RoomStateType (ID, State_Title) VALUES (0, '正常');
INSERT INTO RoomStateType (ID, State_Title) VALUES (1, '维修');

INSERT INTO CardType (ID, C_Title) VALUES (1, '清除卡');
INSERT INTO CardType (ID, C_Title) VALUES (2, '校时卡');
INSERT INTO CardType (ID, C_Title) VALUES (3, '应急卡');
INSERT INTO CardType (ID, C_Title) VALUES (4, '客人卡');
INSERT INTO CardType (ID, C_Title) VALUES (5, '楼层卡');
INSERT INTO CardType (ID, C_Title) VALUES (6, '区域卡');
INSERT INTO CardType (ID, C_Title) VALUES (8, '楼号卡');
INSERT INTO CardType (ID, C_Title) VALUES (10, '总控卡');
INSERT INTO CardType (ID, C_Title) VALUES (12, '终止卡');
INSERT INTO CardType (ID, C_Title) VALUES (14, '采集启动卡');

INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (1, '清除卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (2, '校时卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (3, '应急卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (4, '客人卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (5, '楼层卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (6, '区域卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (8, '楼号卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (10, '总控卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (12, '终止卡');
INSERT INTO KeyKindTable (KeyID, KeyKind) VALUES (14, '采集启动卡');

-- One counter per counter code; the codes are not card type numbers.
INSERT INTO AllCardSn (CardType, CardSn) VALUES (1, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (2, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (3, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (4, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (5, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (6, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (7, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (9, 0);
INSERT INTO AllCardSn (CardType, CardSn) VALUES (13, 0);
