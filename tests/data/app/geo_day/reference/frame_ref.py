import math
RAD=57.29577951308
def trunc(x): return int(x)  # toward zero
def mod360(x): return x - trunc(x*0.002777777777777778)*360.0
def sun(Y,D,S):
    F=S*1.1574074074074073E-5
    L=(Y-1901)//4
    DJ=365*(Y-1900)+L+D+F-0.5
    T=DJ*2.7378507871321012E-5
    VL=mod360(279.696678+0.9856473354*DJ)
    GST=mod360(279.690983+0.9856473354*DJ+360*F+180)
    G=mod360(358.475845+0.985600267*DJ)/RAD
    SLONG=VL+(1.91946-0.004789*T)*math.sin(G)+0.020094*math.sin(2*G)
    OB=(23.45229-0.0130125*T)/RAD; SLP=(SLONG-0.005686)/RAD
    SIND=math.sin(OB)*math.sin(SLP); COSD=math.sqrt(1-SIND**2)
    SDEC=RAD*math.atan(SIND/COSD)
    SRASN=180-RAD*math.atan2(SIND/(math.tan(OB)*COSD),-math.cos(SLP)/COSD)
    return GST/RAD,SLONG/RAD,SRASN/RAD,SDEC/RAD
def julday(y,m,d):
    yy=y+1 if y<0 else y
    if m<=2: yy-=1; mm=m+13
    else: mm=m+1
    J=trunc(30.6001*mm)+trunc(365.25*yy)+d+1720995
    if J>=2299171:
        a=trunc(0.01*yy); J=J+2-a+trunc(0.25*a)
    return J
def caldat(J):
    if J>=2299161:
        al=trunc(((J-1867216)-0.25)/36524.25); a=J+1+al-trunc(0.25*al)
    else: a=J
    b=a+1524; c=trunc(6680+((b-2439870)-122.1)/365.25); d=trunc(365*c+0.25*c)
    e=trunc((b-d)/30.6001); day=b-d-trunc(30.6001*e)
    month=e-1 if e<=13 else e-13
    year=c-4715-(1 if month>2 else 0)
    if year<=0: year-=1
    return year,month,day
def sun2(iyr,idoy,UT):
    MJD=julday(iyr,1,1)+idoy-2400002
    t0=(MJD-51544.5)/36525
    H=UT/3600
    M=357.528+35999.05*t0+0.04107*H
    L=280.46+36000.772*t0+0.04107*H
    lam=L+(1.915-0.0048*t0)*math.sin(M/RAD)+0.02*math.sin(2*M/RAD)
    Om=(73.6667+0.013958*(MJD+3242)/365.25)/RAD
    i=7.25/RAD
    th=math.atan(math.cos(i)*math.tan(lam/RAD-Om))
    return t0,lam,th,Om
RE=6371.2; A2=6378.137**2; B2=6356.752314**2
def gdz_geo(lat,lon,alt):
    p=lat*math.pi/180; l=lon*math.pi/180
    D=math.sqrt(A2-(A2-B2)*math.sin(p)**2)
    z=(B2/D+alt)*math.sin(p)/RE; rho=(A2/D+alt)*math.cos(p)/RE
    return rho*math.cos(l),rho*math.sin(l),z
def geo_gdz(x,y,z):
    lon=math.degrees(math.atan2(y,x)); rho=math.hypot(x,y); phi=math.atan2(z,rho)
    if math.cos(phi)<1e-15: return math.degrees(phi),lon,None
    h=rho/math.cos(phi)-1
    n=0
    while True:
        h0,p0=h,phi
        D=math.sqrt(A2-(A2-B2)*math.sin(p0)**2); N=A2/(D*RE)
        phi=math.atan2((N+h0)*z,(B2/(D*RE)+h0)*rho); h=rho/math.cos(phi)-N; n+=1
        if not(abs(h-h0)>0.001 and abs(phi-p0)>0.001): break
    return phi*180/math.pi,lon,h*RE,n
