# Independent evaluation of the geostationary-day batch output (IGRF-10 at
# 2004.5 from the published table + Olson-Pfitzer quiet from its published
# coefficients, low-precision sun), written from the formulas, plain Python.
import math, os, sys
from frame_ref import sun, gdz_geo
# The published tables as the project holds them (data/ at the top).
D=os.path.join(os.path.dirname(os.path.abspath(__file__)),'..','..','..','..','..','data')
def load_igrf(year):
    g={};h={}
    for l in open(f'{D}/internal_field/igrf10_{year}.txt'):
        if l.startswith('#') or not l.strip(): continue
        n,m,gv,hv=l.split(); g[(int(n),int(m))]=float(gv); h[(int(n),int(m))]=float(hv)
    return g,h
g00,h00=load_igrf(2000); g05,h05=load_igrf(2005)
f=(2004.5-2000.0)*0.2
G={k:g05[k]*f+g00[k]*(1-f) for k in g05}; H={k:h05[k]*f+h00[k]*(1-f) for k in h05}
NMAX=10
SQ={}
def schmidt(th):
    s,c=math.sin(th),math.cos(th)
    P={(0,0):1.0}; dP={(0,0):0.0}
    for n in range(1,NMAX+1):
        if n==1: P[(1,1)]=s; dP[(1,1)]=c
        else:
            k=math.sqrt((2*n-1)/(2*n))
            P[(n,n)]=k*s*P[(n-1,n-1)]; dP[(n,n)]=k*(s*dP[(n-1,n-1)]+c*P[(n-1,n-1)])
        for m in range(0,n):
            a=math.sqrt(n*n-m*m); b=math.sqrt((n-1)**2-m*m)
            p2=P.get((n-2,m),0.0); d2=dP.get((n-2,m),0.0)
            P[(n,m)]=((2*n-1)*c*P[(n-1,m)]-b*p2)/a
            dP[(n,m)]=((2*n-1)*(c*dP[(n-1,m)]-s*P[(n-1,m)])-b*d2)/a
    return P,dP
def igrf(x,y,z):
    r=math.sqrt(x*x+y*y+z*z); th=math.acos(z/r); ph=math.atan2(y,x)
    if th==0.0: th=1e-9  # pole: |B| only, a 1e-9 rad offset changes it by ~1e-9
    P,dP=schmidt(th); s=math.sin(th)
    br=bt=bp=0.0
    for n in range(1,NMAX+1):
        an=(1/r)**(n+2)
        for m in range(0,n+1):
            cm,sm=math.cos(m*ph),math.sin(m*ph)
            gg,hh=G[(n,m)],H[(n,m)]
            br+=(n+1)*an*(gg*cm+hh*sm)*P[(n,m)]
            bt-=an*(gg*cm+hh*sm)*dP[(n,m)]
            bp-=an*m*(-gg*sm+hh*cm)*P[(n,m)]
    bp/=s
    c=math.cos(th)
    bx=(br*s+bt*c)*math.cos(ph)-bp*math.sin(ph)
    by=(br*s+bt*c)*math.sin(ph)+bp*math.cos(ph)
    bz=br*c-bt*s
    return bx,by,bz
# dipole of the epoch
B0=math.sqrt(G[(1,0)]**2+G[(1,1)]**2+H[(1,1)]**2)
TH=math.acos(-G[(1,0)]/B0); PH=math.atan(H[(1,1)]/G[(1,1)])
ct,st,cp,sp=math.cos(TH),math.sin(TH),math.cos(PH),math.sin(PH)
# OP quiet
def load_op(name):
    rows=[]
    for l in open(f'{D}/olson_pfitzer/{name}'):
        if l.startswith('#') or not l.strip(): continue
        k,a,b,c,par,p,q=l.split(); rows.append((int(a),int(b),int(c),int(par),float(p),float(q)))
    return rows
OP={n:load_op(f'op77_{n}.txt') for n in ['bx_plain','bx_exp','bz_plain','bz_exp','by_plain','by_exp']}
def coef(row,tau):
    a,b,c,par,p,q=row
    return p+q*tau*tau if par==1 else p*tau+q*tau**3
def bxyzmu(x,y,z,tau):
    r2=x*x+y*y+z*z
    if r2>225 or r2<4: return 0.0,0.0,0.0
    F=1.0
    if r2<6.25: F=(r2-4)/2.25
    E=math.exp(-0.06*r2)
    sx=sum((coef(p,tau)+E*coef(q,tau))*x**p[0]*y**(2*p[1])*z**p[2] for p,q in zip(OP['bx_plain'],OP['bx_exp']))
    sz=sum((coef(p,tau)+E*coef(q,tau))*x**p[0]*y**(2*p[1])*z**p[2] for p,q in zip(OP['bz_plain'],OP['bz_exp']))
    sy=sum((coef(p,tau)+E*coef(q,tau))*x**p[0]*y**(2*p[1])*z**p[2]*y for p,q in zip(OP['by_plain'],OP['by_exp']))
    return F*sx,F*sy,F*sz
class Frame: pass
FR=Frame()
def cross(a,b): return (a[1]*b[2]-a[2]*b[1],a[2]*b[0]-a[0]*b[2],a[0]*b[1]-a[1]*b[0])
def norm(a):
    l=math.sqrt(sum(t*t for t in a)); return tuple(t/l for t in a)
def dot(a,b): return sum(p*q for p,q in zip(a,b))
def set_time(Y,Dd,UT):
    gst,sl,ra,de=sun(Y,Dd,UT)
    FR.s=(math.cos(de)*math.cos(ra),math.cos(de)*math.sin(ra),math.sin(de))
    FR.cg,FR.sg=math.cos(gst),math.sin(gst)
    d1,d2=st*cp,st*sp
    FR.dip=(d1*FR.cg-d2*FR.sg,d2*FR.cg+d1*FR.sg,ct)
    FR.y=norm(cross(FR.dip,FR.s)); FR.z=norm(cross(FR.s,FR.y)); FR.xsm=norm(cross(FR.y,FR.dip))
    psi=math.asin(dot(FR.s,FR.dip)); FR.tau=psi*180/math.pi
def G_(w): return (w[0]*FR.cg-w[1]*FR.sg,w[1]*FR.cg+w[0]*FR.sg,w[2])
def Gi(w): return (w[0]*FR.cg+w[1]*FR.sg,w[1]*FR.cg-w[0]*FR.sg,w[2])
def geo_sm(v): w=G_(v); return (dot(FR.xsm,w),dot(FR.y,w),dot(FR.dip,w))
def sm_geo(v): return Gi(tuple(v[0]*FR.xsm[i]+v[1]*FR.y[i]+v[2]*FR.dip[i] for i in range(3)))
def gsm_geo(v): return Gi(tuple(v[0]*FR.s[i]+v[1]*FR.y[i]+v[2]*FR.z[i] for i in range(3)))
def geo_mag(v):
    x,y,z=v; return (ct*(cp*x+sp*y)-st*z, cp*y-sp*x, st*(cp*x+sp*y)+ct*z)
class Refused(Exception): pass
NEVAL=[0]
def champ(p):
    NEVAL[0]+=1
    bi=igrf(*p)
    if dot(p,p)>225.0: raise Refused()
    be=sm_geo(bxyzmu(*geo_sm(p),FR.tau))
    b=tuple(bi[i]+be[i] for i in range(3))
    return b, math.sqrt(dot(b,b))
def unit(p):
    b,m=champ(p); return tuple(t/m for t in b)
def sksyst(h,x):
    u=unit(x); k1=tuple(h*t for t in u)
    u=unit(tuple(x[i]+k1[i]/2 for i in range(3))); k2=tuple(h*t for t in u)
    u=unit(tuple(x[i]+k2[i]/2 for i in range(3))); k3=tuple(h*t for t in u)
    u=unit(tuple(x[i]+k3[i] for i in range(3))); k4=tuple(h*t for t in u)
    xo=tuple(x[i]+(k1[i]+2*k2[i]+2*k3[i]+k4[i])/6 for i in range(3))
    return xo, champ(xo)[1]
FILL=-1e31
calotte=[0.0]*251; flag=[0]
def calcul_lstar(t_resol,r_resol,lat,lon,alt):
    out=dict(Lm=FILL,Ls=FILL,XJ=FILL,Bl=FILL,Bmin=FILL)
    N=25*r_resol; Nth=720*t_resol; pi=4*math.atan(1.0); dth=pi/Nth
    p=gdz_geo(lat,lon,alt)
    sm=geo_sm(p); r=math.sqrt(dot(sm,sm)); thsm=math.acos(sm[2]/r); Lb=r/math.sin(thsm)**2
    try: Bl=champ(p)[1]
    except Refused: flag[0]=0; return out
    out['Bl']=Bl; Bmin=Bl
    ds=Lb/50
    try:
        _,Bm_=sksyst(-ds,p); _,Bp_=sksyst(ds,p)
    except Refused: flag[0]=0; return out
    if Bm_>Bl and Bp_>Bl:
        a=(Bm_+Bp_-2*Bl)/2; b=(Bp_-Bm_)/2; t=-b/(2*a)
        Bmin=Bl-a*t*t; XJ=2*math.sqrt(1-Bmin/Bl)*abs(t*ds); Lm=(B0/Bmin)**(1/3)
        out.update(Bmin=Bmin,XJ=XJ,Lm=Lm); xstop=None
    else:
        if Bp_>Bm_: ds=-ds
        S=0.0; x=p; xmin=p; closed=False
        for it in range(1000):
            try: x2,B=sksyst(ds,x)
            except Refused: flag[0]=0; return out
            if B<Bmin: Bmin=B; xmin=x2
            if B>Bl:
                closed = it<999; break
            S+=math.sqrt(1-B/Bl); Bprev=B; x=x2
        if not closed: flag[0]=0; return out
        XJ=abs(ds)*(S+0.5*math.sqrt(1-Bprev/Bl)*(Bl-B)/(B-Bprev))
        X=XJ**3*Bl/B0
        Lm=((1+1.35047*X**(1/3)+0.465376*X**(2/3)+0.0475455*X)*B0/Bl)**(1/3)
        out.update(XJ=XJ,Lm=Lm)
        try:
            _,Bp2=sksyst(ds,xmin); _,Bm2=sksyst(-ds,xmin)
        except Refused: flag[0]=0; return out
        a=(Bm2+Bp2-2*Bmin)/2; b=(Bp2-Bm2)/2; t=-b/(2*a); Bmin=Bmin-a*t*t
        out['Bmin']=Bmin
        if dot(x2,x2)<1: Lm=-Lm; out['Lm']=Lm
    if abs(Lm)>10: flag[0]=0; return out
    # foot point
    try:
        ds=abs(ds); x=p
        for it in range(1000):
            x2,_=sksyst(ds,x)
            if math.sqrt(dot(x2,x2))<1: break
            x=x2
        rx=math.sqrt(dot(x,x)); rx2=math.sqrt(dot(x2,x2))
        fr=(1-rx)/(rx2-rx); F,_=sksyst(fr*ds,x)
        calotte[1]=math.acos(F[2]/math.sqrt(dot(F,F))); phi=[0.0]*(N+1); phi[1]=math.atan2(F[1],F[0])
        ds=-abs(ds)
        for i in range(2,N+1):
            phi[i]=phi[i-1]+2*pi/N
            if flag[0]!=0: th=calotte[i]
            elif i==2: th=calotte[1]
            else: th=2*calotte[i-1]-calotte[i-2]
            def trace(th):
                x=(math.sin(th)*math.cos(phi[i]),math.sin(th)*math.sin(phi[i]),math.cos(th))
                entered=False; I=FILL; within=False
                for it in range(1000):
                    x2,B=sksyst(ds,x)
                    if B<Bl:
                        if not entered:
                            Bx=champ(x)[1]; I=0.5*math.sqrt(1-B/Bl)*(1+(B-Bl)/(B-Bx)); entered=True
                        else: I+=math.sqrt(1-B/Bl)
                    if (B>Bl and entered) or dot(x2,x2)<1:
                        within = it<999; break
                    x=x2
                if dot(x2,x2)<1: I=FILL
                elif within:
                    Bx=champ(x)[1]; I=abs(ds)*(I+0.5*math.sqrt(1-Bx/Bl)*(Bl-B)/(B-Bx))
                return I,within
            thp=th; I,within=trace(th)
            th = th+dth if within else th-dth
            Ip=I; thp=th
            while True:
                I,within=trace(th)
                prod=(Ip-XJ)*(I-XJ)
                if prod<0 or prod!=prod: break
                Ip=I; thp=th
                th = th+dth if I>=XJ else th-dth
                if th>pi or th<0: break
            calotte[i]=(thp+th)/2
            if not within and I>0: flag[0]=0; return out
            Bf=champ((math.sin(calotte[i])*math.cos(phi[i]),math.sin(calotte[i])*math.sin(phi[i]),math.cos(calotte[i])))[1]
            if Bf<Bl: flag[0]=0; return out
        Bpole=champ((0.0,0.0,1.0))[1]
        Phi=pi*Bpole*dth*dth/4
        for i in range(1,N+1):
            th=0.0
            for k in range(Nth):
                th+=dth
                if th>calotte[i]: break
                Phi+=champ((math.sin(th)*math.cos(phi[i]),math.sin(th)*math.sin(phi[i]),math.cos(th)))[1]*math.sin(th)*dth*2*pi/N
    except Refused:
        flag[0]=0; return out
    Ls=2*pi*B0/Phi
    if Lm<0: Ls=-Ls
    out['Ls']=Ls; flag[0]=1
    return out
def car_lon(v):
    l=math.degrees(math.atan2(v[1],v[0]))
    return l+360 if l<0 else l
def mlt(p):
    fp=car_lon(geo_mag(p)); fs=car_lon(geo_mag(gsm_geo((1.0,0.0,0.0))))
    m=(fp-fs)/15+12
    if m>=24: m-=24
    if m<0: m+=24
    return m
def main(hours):
    from frame_ref import geo_gdz
    p=gdz_geo(0.0,-75.2,35793.0)
    la,lo,al,_=geo_gdz(*p)
    flag[0]=0; remembered=0
    for hr in hours:
        set_time(2004,75,3600.0*hr)
        o=calcul_lstar(3,1,la,lo,al)
        if remembered==1 and o['Ls']==FILL:
            flag[0]=0; o=calcul_lstar(3,1,la,lo,al)
        remembered=flag[0]
        m=mlt(p)
        pa=math.degrees(math.asin(math.sqrt(o['Bmin']/o['Bl'])))
        print(f"{hr:2d} {o['Bl']:.6E} {o['Bmin']:.6E} {o['XJ']:.6E} {o['Lm']:.6E} {o['Ls']:.6E} {m:.6E} {pa:.6E} evals={NEVAL[0]}",flush=True)
if __name__=='__main__':
    hrs=list(range(int(sys.argv[1]),int(sys.argv[2]))) if len(sys.argv)>2 else list(range(24))
    main(hrs)
