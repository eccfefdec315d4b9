"""The layers loopweave.dask keeps on the workers (gather=False), written
through GDAL (OGR) in pieces of a partition as they are ready: the client
holds about one piece of a layer, never the whole result.

The rows are the gathered layers' (faces repaired and given their area and
labels' fields by results.py, on the workers). Each feature's FID is its
place in the single process's layer plus one, where the driver keeps the FIDs
it is given (GeoPackage), so reading by FID gives that layer's order; a
FlatGeobuf numbers its features itself, in the order the pieces arrived.
"""

import numpy as np

from . import results

# Repairing a face gives polygons only; a line or point layer holds one kind.
_GEOMETRY_TYPES = {"faces": "wkbPolygon", "dangles": "wkbLineString", "errors": "wkbPoint"}
_ROWS_PER_PIECE = 20000  # about what the client holds of a layer at once


def write(client, kept, label_table, path, driver, names, crs):
    """Writes the layers `names` of `kept`, faces with the fields of
    `label_table` (the labels' table, or None), to a new data source at
    `path` in the CRS `crs` (WKT, or None); a layer without rows is left
    out. Returns the features written per layer."""
    from osgeo import ogr, osr

    dataset = ogr.GetDriverByName(driver).CreateDataSource(path)
    if dataset is None:
        raise RuntimeError(f"GDAL cannot create {path}")
    reference = None
    if crs:
        reference = osr.SpatialReference()
        reference.ImportFromWkt(crs)
    try:
        return {name: _write_layer(client, dataset, name, getattr(kept, name), reference, label_table)
                for name in names}
    finally:
        # Closing commits what was written, or rolls an interrupted
        # transaction back, before the file is renamed or removed; destroyed,
        # not dropped, as the frames of an exception's traceback still hold it.
        dataset.Destroy()


def _write_layer(client, dataset, name, frame, reference, label_table):
    import dask
    from distributed import as_completed

    parts = client.compute([dask.delayed(_part, pure=True)(partition, name, label_table)
                            for partition in frame.to_delayed()])
    sizes = client.gather([client.submit(_rows_and_split_places, part) for part in parts])
    # Places of a face's second and later polygons: each moves the rows after it on.
    split = np.sort(np.concatenate([places for _, places in sizes]))
    # A run's partition can be the whole layer: the client takes it in pieces.
    pieces = [client.submit(_piece, part, split, start, start + _ROWS_PER_PIECE)
              for part, (rows, _) in zip(parts, sizes) for start in range(0, rows, _ROWS_PER_PIECE)]
    layer = None
    for future in as_completed(pieces):
        fields, shapes, fids = future.result()
        future.release()
        if layer is None:
            layer = _created_layer(dataset, name, fields, reference)
        _add_features(dataset, layer, fields, shapes, fids)
    return sum(rows for rows, _ in sizes)


def _part(frame, name, label_table):
    """(fields, WKB of each geometry, place of each row) of a partition of a
    kept layer, with the gathered layer's rows and fields."""
    if name == "faces":
        columns = {column: frame[column].to_numpy() for column in frame.columns}
        faces, rows = results.faces(columns, None, "labels" in columns, label_table)
        return faces.drop(columns=faces.geometry.name), [shape.wkb for shape in faces.geometry], columns["place"][rows]
    if name == "errors":
        from shapely.geometry import Point

        shapes = [Point(x, y).wkb for x, y in zip(frame["x"], frame["y"])]
        fields = frame.drop(columns=["x", "y", "place"])
    else:
        shapes = frame["wkb"].tolist()
        fields = frame.drop(columns=["wkb", "place"])
    return fields, shapes, frame["place"].to_numpy()


def _rows_and_split_places(part):
    places = part[2]
    return len(places), places[1:][places[1:] == places[:-1]]


def _piece(part, split, start, stop):
    """(fields, WKB, FIDs) of the rows [start, stop) of a part."""
    fields, shapes, places = part
    return fields.iloc[start:stop], shapes[start:stop], _fids(places, split)[start:stop]


def _fids(places, split):
    """Place in the gathered layer plus one, where a face repaired into k
    polygons takes k consecutive rows (they are consecutive in a part)."""
    index = np.arange(len(places))
    starts = np.concatenate([[True], places[1:] != places[:-1]])
    within = index - np.maximum.accumulate(np.where(starts, index, 0))
    return places + np.searchsorted(split, places) + within + 1


def _created_layer(dataset, name, fields, reference):
    """The layer with the fields' types as GeoPandas writes them: integers
    as 64-bit, booleans as booleans, anything else not a number as text."""
    from osgeo import ogr

    layer = dataset.CreateLayer(name, reference, getattr(ogr, _GEOMETRY_TYPES[name]))
    for column, dtype in fields.dtypes.items():
        kind = {"b": ogr.OFTInteger, "i": ogr.OFTInteger64, "u": ogr.OFTInteger64, "f": ogr.OFTReal}
        definition = ogr.FieldDefn(column, kind.get(dtype.kind, ogr.OFTString))
        if dtype.kind == "b":
            definition.SetSubType(ogr.OFSTBoolean)
        _checked(layer.CreateField(definition), f"creating the field {column} of {name}")
    return layer


def _add_features(dataset, layer, fields, shapes, fids):
    """One transaction a part where the driver has them: a feature each is
    far slower."""
    from osgeo import ogr

    transaction = dataset.TestCapability(ogr.ODsCTransactions)
    if transaction:
        _checked(dataset.StartTransaction(), "starting a transaction")
    values = [[_field_value(v) for v in fields[column].tolist()] for column in fields.columns]
    definition = layer.GetLayerDefn()
    for row, (shape, fid) in enumerate(zip(shapes, fids.tolist())):
        feature = ogr.Feature(definition)
        feature.SetFID(fid)
        feature.SetGeometryDirectly(ogr.CreateGeometryFromWkb(shape))
        for index, column in enumerate(values):
            if column[row] is not None:
                feature.SetField(index, column[row])
        _checked(layer.CreateFeature(feature), f"writing a feature of {layer.GetName()}")
    if transaction:
        _checked(dataset.CommitTransaction(), "committing a transaction")


def _field_value(value):
    if value is None or isinstance(value, (bool, int, float, str)):
        return int(value) if isinstance(value, bool) else value
    return str(value)


def _checked(error, doing):
    if error != 0:
        from osgeo import gdal

        raise RuntimeError(f"{doing} failed: {gdal.GetLastErrorMsg()}")
