# Writes the expected position.tmp of the geostationary day from the
# independent evaluation (geo_day_out.txt) and the record texts of epoch.tmp.
# To remake both from the published tables in data/ (about 4 minutes):
#   python3 geo_day.py > geo_day_out.txt && python3 make_golden.py
import os
from frame_ref import gdz_geo
HERE=os.path.dirname(os.path.abspath(__file__))
py=[l.split() for l in open(os.path.join(HERE,'geo_day_out.txt'))]
res=[[float(v) for v in p[1:8]] for p in py]
def e14(v):
    s=f"{v:.6E}"  # mantissa d.dddddd, exponent E+dd
    return s.rjust(14)
out=[]; k=-1
for l in open(os.path.join(HERE,'..','epoch.tmp')):
    l=l.rstrip('\n')
    ep,tt,tag,lon=l[0:20],l[22:41],int(l[42:46]),float(l[47:55])
    if tt[14:16]=='00': k+=1
    x,y,z=gdz_geo(0.0,lon,35793.0)
    bl,bm,xj,lm,ls,mlt,pa=res[k]
    line=f"{ep}, {tt},{tag:4d}," + ",".join(f"{v*6371.2:12.3f}" for v in (x,y,z)) + "," + ",".join(e14(v) for v in (bl,bm,xj,lm,ls,mlt,90.0,pa))
    out.append(line)
open(os.path.join(HERE,'..','position.tmp'),'w').write("\n".join(out)+"\n")
