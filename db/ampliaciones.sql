-- Tables of the features added after the first eight: each keeps its data in tables of its own,
-- so the eight never change shape. crear-bd creates them; opening a database that lacks one
-- creates it, in one transaction, which is the only change opening ever makes.

-- The surrender terms of a scenario: its charge in percent of the reserve and the first policy
-- year it may be surrendered in. A scenario without a row has a charge of 0 from year 2.
CREATE TABLE T_Garantia (
    Escenario            INTEGER NOT NULL,
    Penalizacion_Rescate REAL,
    Anio_Rescate         INTEGER,
    PRIMARY KEY (Escenario)
);
