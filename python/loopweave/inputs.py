"""Lines as the pipeline takes them: an (n, 4) float64 array of segments
(sx, sy, ex, ey) and an (n, 2) int32 array of their keys.

They come as such an array, as Shapely geometries, as a GeoSeries or
GeoDataFrame, or as a list of GeoSeries and GeoDataFrames in one CRS,
entered together. Geometries are read as the command-line tool reads features:
every pair of consecutive points is a segment, the parts of a collection and
the rings of a polygon continue one count, points give none. Key1 is the
feature's place (its row), Key2 the segment's index within the feature,
unless integer columns are named for them.
"""

import numpy as np

_INT32 = np.iinfo(np.int32)


def segments_of(lines, keys=None):
    """(segments, keys, crs) of `lines`; TypeError or ValueError where they do not fit."""
    if isinstance(lines, np.ndarray):
        return _from_array(lines, keys) + (None,)
    if _is_list_of_frames(lines):
        lines = _concatenated(lines)
    crs = getattr(lines, "crs", None)
    geometries, key1, key2 = _features(lines, keys)
    parts, part_keys = [], []
    for row, geometry in enumerate(geometries):
        paths = []
        _add_paths(geometry, paths)
        count = 0
        for points in paths:
            n = len(points) - 1
            if n < 1:
                continue
            parts.append(np.hstack([points[:-1], points[1:]]))
            second = np.arange(count, count + n) if key2 is None else np.full(n, key2[row])
            part_keys.append(np.column_stack([np.full(n, key1[row]), second]))
            count += n
    if not parts:
        raise ValueError("no line segments to polygonize: the geometries hold no two points in a line")
    return (np.ascontiguousarray(np.vstack(parts), dtype=np.float64),
            checked_keys(np.vstack(part_keys), "keys"), crs)


def labels_in(labels, crs):
    """`labels` in `crs`, the lines' CRS: a GeoDataFrame or GeoSeries in
    another is transformed; ValueError when only one of the two has a CRS."""
    labels_crs = getattr(labels, "crs", None)
    if labels_crs is None and crs is None:
        return labels
    if labels_crs is None or crs is None:
        with_one, without = ("the labels", "the lines") if crs is None else ("the lines", "the labels")
        raise ValueError(f"{with_one} have a CRS but {without} have none; set it with set_crs")
    return labels if labels_crs == crs else labels.to_crs(crs)


def points_of(labels):
    """(m, 2) float64 points and the label table (a DataFrame, or None) of `labels`."""
    if isinstance(labels, np.ndarray):
        if labels.dtype.kind not in "fiu":
            raise TypeError(f"labels must be numbers, not {labels.dtype}")
        return np.ascontiguousarray(labels, dtype=np.float64), None
    geometries = getattr(labels, "geometry", labels)
    table = labels.drop(columns=labels.geometry.name) if hasattr(labels, "columns") else None
    xy = []
    for geometry in geometries:
        if getattr(geometry, "geom_type", None) != "Point":
            raise TypeError("labels must be points (an (m, 2) array or Shapely Points), not "
                            f"{getattr(geometry, 'geom_type', type(geometry).__name__)}")
        xy.append((geometry.x, geometry.y))
    return np.array(xy, dtype=np.float64).reshape(-1, 2), table


def _is_list_of_frames(lines):
    return (isinstance(lines, (list, tuple)) and len(lines) > 0
            and all(hasattr(item, "crs") and hasattr(item, "geometry") for item in lines))


def _concatenated(frames):
    """One GeoDataFrame of several, rows (and so key1) continuing; the frames
    must share one CRS, since segments in two are not one drawing."""
    import geopandas
    import pandas

    crs = frames[0].crs
    for i, frame in enumerate(frames[1:], 1):
        if frame.crs != crs:
            raise ValueError(f"lines[{i}] is in {_crs_name(frame.crs)} but lines[0] in {_crs_name(crs)}; "
                             "bring them into one with to_crs")
    as_frames = [item.rename_geometry("geometry") if hasattr(item, "columns") and item.geometry.name != "geometry"
                 else item if hasattr(item, "columns") else geopandas.GeoDataFrame(geometry=item)
                 for item in frames]
    return geopandas.GeoDataFrame(pandas.concat(as_frames, ignore_index=True), geometry="geometry", crs=crs)


def _crs_name(crs):
    return "no CRS" if crs is None else crs.name


def check_array_types(lines, keys):
    """TypeError or ValueError unless `lines` is an (n, 4) array of numbers and
    `keys` None or an (n, 2) array of integers; arrays of any kind with a
    dtype and a shape will do (Dask's too)."""
    if lines.dtype.kind not in "fiu":
        raise TypeError(f"lines must be numbers, not {lines.dtype}")
    if lines.ndim != 2 or lines.shape[1] != 4:
        raise ValueError(f"lines must have the shape (n, 4): sx, sy, ex, ey; not {lines.shape}")
    if keys is not None:
        if keys.dtype.kind not in "iu":
            raise TypeError(f"keys must be integers, not {keys.dtype}")
        if keys.shape != (lines.shape[0], 2):
            raise ValueError(f"keys must have the shape ({lines.shape[0]}, 2), one pair per line; not {keys.shape}")


def _from_array(lines, keys):
    keys = None if keys is None else np.asarray(keys)
    check_array_types(lines, keys)
    if keys is None:
        keys = np.column_stack([np.arange(len(lines)), np.zeros(len(lines), dtype=np.int64)])
    return np.ascontiguousarray(lines, dtype=np.float64), checked_keys(keys, "keys")


def checked_keys(keys, what):
    if len(keys) and (keys.min() < _INT32.min or keys.max() > _INT32.max):
        raise ValueError(f"{what} must fit in 32 bits, as the library's keys do")
    return np.ascontiguousarray(keys, dtype=np.int32)


def _features(lines, keys):
    """The geometries, and the key1 and key2 (None: the segment index) of each."""
    if hasattr(lines, "geometry") and hasattr(lines, "columns"):  # a GeoDataFrame
        geometries = list(lines.geometry)
        names = [keys] if isinstance(keys, str) else list(keys or [])
        if len(names) > 2:
            raise ValueError("keys names at most two integer columns")
        columns = [_integer_column(lines, name) for name in names]
        key1 = columns[0] if columns else np.arange(len(geometries))
        return geometries, key1, columns[1] if len(columns) > 1 else None
    if keys is not None:
        raise TypeError("keys are taken from columns of a GeoDataFrame, or given as an array with an array of lines")
    if isinstance(lines, (str, bytes)) or not hasattr(lines, "__iter__"):
        raise TypeError("lines must be an (n, 4) array, Shapely line geometries or a GeoSeries or GeoDataFrame, "
                        f"not {type(lines).__name__}")
    geometries = list(lines)
    return geometries, np.arange(len(geometries)), None


def _integer_column(frame, name):
    if name not in frame.columns:
        raise ValueError(f"keys: no column {name!r}")
    column = frame[name].to_numpy()
    if column.dtype.kind not in "iu":
        raise TypeError(f"keys: column {name!r} must hold integers, not {column.dtype}")
    return column


def _add_paths(geometry, paths):
    if geometry is None:
        return
    kind = getattr(geometry, "geom_type", None)
    if kind is None:
        raise TypeError(f"lines must be Shapely geometries, not {type(geometry).__name__}")
    if geometry.is_empty or kind == "Point":
        return
    if kind == "Polygon":
        for ring in [geometry.exterior, *geometry.interiors]:
            _add_paths(ring, paths)
    elif hasattr(geometry, "geoms"):
        for part in geometry.geoms:
            _add_paths(part, paths)
    else:
        paths.append(np.asarray(geometry.coords, dtype=np.float64)[:, :2])
