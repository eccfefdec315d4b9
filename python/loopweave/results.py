"""The pipeline's columns as GeoDataFrames, or as they are (dicts of NumPy
arrays and WKB) where GeoPandas is not installed."""

from collections import namedtuple

import numpy as np

class Polygonized(namedtuple("Polygonized", "faces polygons dangles errors")):
    """faces: the polygons a GIS expects, with their holes and attributes;
    polygons: every chain as the library formed it, a LineString each;
    dangles: the lines that bound no area; errors: the diagnosis's points
    (flag 0 an open chain's, 1 crossing, 2 turning back, 3 a collapsed face).

    Beside them:
    scale: the distances the run resolved, in the lines' units: ends closer
        than scale["meeting_distance"] met, and an end closer than
        scale["landing_distance"] to a line of the median length,
        scale["median_length"], landed on it; scale["resolved"] is False
        where the drawing spans too many of its lines for that to be tight.
    account: where every input segment ended, by count: in_faces,
        in_dangles, and dropped as zero_length, drawn_again (the same ends as
        one before it), along_others (every piece along lines drawn before
        it), not_finite; not_selected (holes=False leaves outer boundaries
        out); lost, which is always 0 unless the package has a fault.
    """


def polygonized(columns, crs, with_labels, label_table):
    result = _layers(columns, crs, with_labels, label_table)
    result.scale = columns["scale"]
    result.account = columns["account"]
    return result


def _layers(columns, crs, with_labels, label_table):
    try:
        import geopandas
    except ImportError:
        return Polygonized(*(columns[name] for name in Polygonized._fields))
    faces, _ = _faces(geopandas, columns["faces"], crs, with_labels, label_table)
    polygons = _lines(geopandas, columns["polygons"], crs)
    dangles = _lines(geopandas, columns["dangles"], crs)
    errors = columns["errors"]
    error_frame = geopandas.GeoDataFrame(
        {"flag": errors["flag"], "polygon": errors["polygon"]},
        geometry=geopandas.points_from_xy(errors["xy"][:, 0], errors["xy"][:, 1], crs=crs))
    return Polygonized(faces, polygons, dangles, error_frame)


def _table(columns, names):
    return {name: columns[name] for name in names}


def _geometries(geopandas, shapes, crs):
    """A GeoSeries of Shapely geometries, placed one by one: given a list,
    NumPy would read each line's coordinates through its array interface,
    which costs more than the whole pipeline."""
    array = np.empty(len(shapes), dtype=object)
    for i, shape in enumerate(shapes):
        array[i] = shape
    return geopandas.GeoSeries(geopandas.array.GeometryArray(array, crs=crs))


def _shapes(wkb_column):
    from shapely import wkb

    return [wkb.loads(item) for item in wkb_column]


def _lines(geopandas, columns, crs):
    names = [name for name in columns if name != "wkb"]
    return geopandas.GeoDataFrame(_table(columns, names), geometry=_geometries(geopandas, _shapes(columns["wkb"]), crs))


def faces(columns, crs, with_labels, label_table):
    """The faces layer of the pipeline's faces columns alone, for a writer
    that takes them a part at a time: the GeoDataFrame, and the row of the
    columns each of its rows comes from."""
    import geopandas

    return _faces(geopandas, columns, crs, with_labels, label_table)


def _faces(geopandas, columns, crs, with_labels, label_table):
    """A face that still crosses or touches itself (lines that were not cut,
    a figure eight) is repaired by GEOS's MakeValid into the polygons it
    consists of, each a row with the face's attributes, as the tool writes it."""
    from shapely.validation import make_valid

    geometry = _shapes(columns["wkb"])
    rows, parts = [], []
    for row, (face, repair) in enumerate(zip(geometry, columns["needs_repair"])):
        # Should GEOS leave no polygon, the face stays as formed: seen, never lost.
        for part in (_polygons_in(make_valid(face)) or [face]) if repair else [face]:
            rows.append(row)
            parts.append(part)
    rows = np.array(rows, dtype=np.int64)
    table = {name: np.asarray(columns[name], dtype=object if name == "keys" else None)[rows]
             for name in ("polygon", "round", "holes", "self_cross", "runs_back", "elements", "keys")}
    frame = geopandas.GeoDataFrame(table, geometry=_geometries(geopandas, parts, crs))
    # The plane's area in the lines' units, as the tool gives it (GeoPandas
    # would warn about geographic coordinates).
    frame.insert(frame.columns.get_loc("keys"), "area", np.array([part.area for part in parts], dtype=np.float64))
    if with_labels:
        _add_labels(frame, columns, rows, label_table)
    return frame, rows


def _polygons_in(geometry):
    if geometry.geom_type == "Polygon":
        return [geometry]
    return [part for part in getattr(geometry, "geoms", []) if part.geom_type == "Polygon"]


def _add_labels(frame, columns, rows, label_table):
    """The count of labels inside each face, then the fields of the first one
    (a field named like one of the face's takes the prefix label_)."""
    frame.insert(len(frame.columns) - 1, "labels", columns["labels"][rows])
    if label_table is None or label_table.shape[1] == 0:
        return
    first = columns["first_label"][rows]
    picked = label_table.iloc[np.where(first >= 0, first, 0)].reset_index(drop=True)
    picked = picked.astype(object)
    picked.loc[first < 0, :] = None
    for name in picked.columns:
        target = f"label_{name}" if name in frame.columns else name
        frame.insert(len(frame.columns) - 1, target, picked[name].to_numpy())
